#include "app/ShowWarning.h"

#include "app/Colours.h"
#include "app/OutputList.h"
#include "platform/Ui.h"

void ShowWarning(Ui& ui, std::string_view text) {
    OutputWrite(text, kColourCaution);
    ui.CautionBox(text);
}
