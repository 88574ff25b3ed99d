#include "model/ShowWarning.h"

#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/Ui.h"

void ShowWarning(Ui& ui, std::string_view text) {
    OutputWrite(text, kColourCaution);
    ui.CautionBox(text);
}
