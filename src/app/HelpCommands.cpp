#include "app/HelpCommands.h"

#include <string>
#include <string_view>
#include <vector>

#include "app/AppContext.h"
#include "platform/FileStore.h"
#include "platform/Launcher.h"
#include "platform/Profile.h"
#include "platform/ProgramPaths.h"
#include "platform/Ui.h"

namespace {

// The package installs the manual page under this name, whatever name the program runs under.
constexpr const char* kManualPage = "man:wetter";
constexpr std::string_view kRemoteSection = "Fernwartung";
constexpr std::string_view kRemoteKey = "Befehl";

// The program and its arguments, split at blanks; no shell sees them.
std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : text) {
        if (c == ' ' || c == '\t') {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

}  // namespace

void OpenHelp(AppContext& context, Launcher& launcher) {
    const std::string pdf = context.paths.Named(".pdf");
    // The desktop's help viewer (yelp, khelpcenter) shows a man: address.
    const bool opened = context.Files().Exists(pdf) ? launcher.OpenFile(pdf)
                                                    : launcher.Launch("xdg-open", {kManualPage});
    if (opened) return;
    // The old text names a fixed file; what was really tried follows it.
    context.ui.MessageBox(
        "An error occured opening the help!\nCheck, if the help-file weather.pdf exists, or if "
        "there are left enough ressources.\n\nLooked for: " +
            pdf + "\nOtherwise: xdg-open " + kManualPage +
            " (needs a help viewer such as yelp or khelpcenter; or run \"man wetter\")",
        "", MsgButtons::Ok, MsgIcon::Error);
}

void StartRemoteMaintenance(AppContext& context, Launcher& launcher) {
    const std::string stationFile = context.paths.Named("station.ini");
    std::vector<std::string> command =
        Words(context.profile.ReadText(stationFile, kRemoteSection, kRemoteKey, ""));
    if (command.empty()) {
        context.ui.MessageBox(
            "Remote maintenance is not available on this system.\nA remote-support program can "
            "be named in " +
                stationFile + ", section [Fernwartung], key Befehl.",
            "", MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    const std::string program = command.front();
    command.erase(command.begin());
    if (launcher.Launch(program, command)) return;
    context.ui.MessageBox("Remote maintenance couldn't be started!", "", MsgButtons::Ok,
                          MsgIcon::Error);
}
