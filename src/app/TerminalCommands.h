#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class Profile;
class ProgramPaths;

// The terminal's eight user-defined commands in TermBefehl.ini: sections
// "UserDef1" to "UserDef8" with "Command", "Save", "SavePath" and "SekTimeout".
struct UserCommand {
    std::string command;   // sent to the station as it is
    bool save = false;     // record the response in a file
    std::string savePath;  // relative to the program folder (an absolute path as it is)
    int seconds = 0;       // how long to record

    bool operator==(const UserCommand&) const = default;
};

namespace TerminalCommands {

constexpr int kCount = 8;
// What the file's readers take back.
constexpr std::size_t kMaxCommandLength = 255;
constexpr std::size_t kMaxPathLength = 259;
// The longest recording the timer can wait for, in seconds.
constexpr int kMaxSeconds = 2147483;
// The menu text of a command slot that holds nothing.
constexpr std::string_view kUndefined = "nicht definiert";

using Commands = std::array<UserCommand, kCount>;

// The settings file beside the program: its path without extension + "TermBefehl.ini".
std::string File(const ProgramPaths& paths);

// Command `number` (1..8).
UserCommand Read(Profile& profile, const std::string& file, int number);
Commands ReadAll(Profile& profile, const std::string& file);

// Nothing when every command can be stored and read back as it is; else the
// message that names the first field that cannot.
std::optional<std::string> Check(const Commands& commands);

// Writes the four keys of every section in order. False when the file could
// not be written.
bool WriteAll(Profile& profile, const std::string& file, const Commands& commands);

// The text a command's menu item shows: the command, or "nicht definiert".
std::string MenuText(const UserCommand& command);

// Where a recording goes: `savePath` in the program folder.
std::string RecordingPath(const ProgramPaths& paths, const std::string& savePath);

}  // namespace TerminalCommands
