#include "app/TerminalCommands.h"

#include "model/TextNumbers.h"
#include "platform/Profile.h"
#include "platform/ProgramPaths.h"

namespace TerminalCommands {

namespace {

std::string Section(int number) { return "UserDef" + std::to_string(number); }

bool HasControlCharacter(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 32) return true;
    return false;
}

// The profile reader trims blanks and one pair of outer quotes: such a value
// would come back changed.
bool ReadsBackChanged(std::string_view text) {
    if (text.empty()) return false;
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v'; };
    if (blank(text.front()) || blank(text.back())) return true;
    return text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
           text.back() == text.front();
}

std::optional<std::string> CheckText(int number, std::string_view field, std::string_view text,
                                     std::size_t maxLength) {
    const std::string where = "User " + std::to_string(number) + ", " + std::string(field) + ": ";
    if (text.size() > maxLength)
        return where + "at most " + std::to_string(maxLength) + " characters can be stored (" +
               std::to_string(text.size()) + " given).";
    if (HasControlCharacter(text)) return where + "line breaks and tabs cannot be stored.";
    if (ReadsBackChanged(text))
        return where + "blanks at either end or enclosing quotes would be lost.";
    return std::nullopt;
}

}  // namespace

std::string File(const ProgramPaths& paths) { return paths.Named("TermBefehl.ini"); }

UserCommand Read(Profile& profile, const std::string& file, int number) {
    const std::string section = Section(number);
    UserCommand command;
    command.command = profile.ReadText(file, section, "Command", "", kMaxCommandLength);
    command.save =
        TextNumbers::ToUpper(profile.ReadText(file, section, "Save", "false", 16)) == "TRUE";
    command.savePath = profile.ReadText(file, section, "SavePath", "", kMaxPathLength);
    command.seconds = TextNumbers::Atoi(profile.ReadText(file, section, "SekTimeout", "", 32));
    return command;
}

Commands ReadAll(Profile& profile, const std::string& file) {
    Commands commands;
    for (int n = 1; n <= kCount; ++n) commands[n - 1] = Read(profile, file, n);
    return commands;
}

std::optional<std::string> Check(const Commands& commands) {
    for (int n = 1; n <= kCount; ++n) {
        const UserCommand& c = commands[n - 1];
        if (auto bad = CheckText(n, "command", c.command, kMaxCommandLength)) return bad;
        if (auto bad = CheckText(n, "file name", c.savePath, kMaxPathLength)) return bad;
        if (c.seconds < 0 || c.seconds > kMaxSeconds)
            return "User " + std::to_string(n) + ", Timeout in  Sec.: a whole number from 0 to " +
                   std::to_string(kMaxSeconds) + " is needed.";
        if (c.save && c.seconds > 0 && c.savePath.empty())
            return "User " + std::to_string(n) +
                   ": enter the file for the response, or clear \"Save response in file\".";
    }
    return std::nullopt;
}

bool WriteAll(Profile& profile, const std::string& file, const Commands& commands) {
    bool written = true;
    for (int n = 1; n <= kCount; ++n) {
        const UserCommand& c = commands[n - 1];
        const std::string section = Section(n);
        const auto write = [&](std::string_view key, std::string_view value) {
            // One failure must not hide the others: every key is tried.
            written = profile.WriteText(file, section, key, value) && written;
        };
        write("Command", c.command);
        write("Save", c.save ? "TRUE" : "FALSE");
        write("SavePath", c.savePath);
        write("SekTimeout", std::to_string(c.seconds));
    }
    return written;
}

std::string MenuText(const UserCommand& command) {
    return command.command.empty() ? std::string(kUndefined) : command.command;
}

std::string RecordingPath(const ProgramPaths& paths, const std::string& savePath) {
    if (savePath.starts_with('/')) return savePath;
    return paths.Folder() + "/" + savePath;
}

}  // namespace TerminalCommands
