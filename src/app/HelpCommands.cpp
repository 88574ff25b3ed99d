#include "app/HelpCommands.h"

#include "app/AppContext.h"
#include "platform/Launcher.h"
#include "platform/ProgramPaths.h"
#include "platform/Ui.h"

void OpenHelp(AppContext& context, Launcher& launcher) {
    if (launcher.OpenFile(context.paths.Named(".pdf"))) return;
    context.ui.MessageBox(
        "An error occured opening the help!\nCheck, if the help-file weather.pdf exists, or if "
        "there are left enough ressources.",
        "", MsgButtons::Ok, MsgIcon::Error);
}

void StartRemoteMaintenance(AppContext& context, Launcher& launcher) {
    if (launcher.StartProgram(context.paths.InFolder("TeamViewerQS_de.exe"))) return;
    context.ui.MessageBox("Remote maintenance couldn't be started!", "", MsgButtons::Ok,
                          MsgIcon::Error);
}
