#include "app/QuitQuestion.h"

#include "platform/Profile.h"
#include "platform/ProgramPaths.h"
#include "platform/Ui.h"

bool ConfirmQuit(Profile& profile, const ProgramPaths& paths, Ui& ui) {
    if (profile.ReadInt(paths.Named("station.ini"), "Display", "Abbruch", 0) == 0) return true;
    return ui.MessageBox("Do you really want to quit?", paths.ProgramName(), MsgButtons::OkCancel,
                         MsgIcon::Question) == MsgAnswer::Ok;
}
