// Any bytes as TermBefehl.ini: the eight user commands must read within their
// lengths, give their menu texts, recording paths and timer waits, and a set
// that passes the dialog's check must save and read back unchanged.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzFiles.h"
#include "app/TerminalCommands.h"
#include "model/StationSettings.h"
#include "platform/IniProfile.h"
#include "platform/ProgramPaths.h"

namespace {
constexpr const char* kName = "TermBefehlFuzz";
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFolder folder;
    static const ProgramPaths paths(folder.Path() + "/wetter");
    IniProfile profile;
    const std::string file =
        folder.Write("TermBefehl.ini", std::string_view(reinterpret_cast<const char*>(data), size));

    const TerminalCommands::Commands commands = TerminalCommands::ReadAll(profile, file);
    for (const UserCommand& command : commands) {
        if (command.command.size() > TerminalCommands::kMaxCommandLength ||
            command.savePath.size() > TerminalCommands::kMaxPathLength)
            FuzzFail(kName, "text longer than the file's readers take");
        if (TerminalCommands::MenuText(command).empty()) FuzzFail(kName, "empty menu text");
        // What running the command does: the recording's file and its timer.
        if (command.seconds > 0 && command.save && !command.savePath.empty()) {
            TerminalCommands::RecordingPath(paths, command.savePath);
            TimerMilliseconds(command.seconds);
        }
    }

    if (TerminalCommands::Check(commands)) return 0;
    if (!TerminalCommands::WriteAll(profile, file, commands)) FuzzFail(kName, "write failed");
    if (TerminalCommands::ReadAll(profile, file) != commands)
        FuzzFail(kName, "saved commands read back changed");
    return 0;
}
