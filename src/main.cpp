#include <QApplication>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "gui/app/CWetterApp.h"
#include "gui/app/HeadlessApp.h"
#include "model/InformationRequest.h"

namespace {
// --help and --version are answered before Qt starts, so they work without a
// display. Nothing when the program is to run.
std::optional<int> AnswerInformationRequest(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string answer;
    switch (FindInformationRequest(arguments)) {
        case InformationRequest::kNone:
            return std::nullopt;
        case InformationRequest::kHelp:
            answer = HelpText(argc > 0 && argv[0] != nullptr ? argv[0] : "");
            break;
        case InformationRequest::kVersion:
            answer = VersionText();
            break;
    }
    // A full disk or a closed pipe is a failure the caller should see.
    const bool written = std::fputs(answer.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
    return written ? 0 : 1;
}
}  // namespace

int main(int argc, char* argv[]) {
    if (const std::optional<int> answered = AnswerInformationRequest(argc, argv)) return *answered;
    // The service mode needs no display: no QApplication, no window.
    if (HeadlessApp::Requested(argc, argv)) return HeadlessApp::Main(argc, argv);

    QApplication application(argc, argv);
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName("de.norvika.wetter");
    CWetterApp app(argc, argv);
    if (!app.InitInstance(QCoreApplication::arguments())) return 1;
    return QApplication::exec();
}
