#include "app/ProcessStart.h"

#include "platform/Launcher.h"

std::vector<std::string> SplitParameters(std::string_view parameter) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    std::size_t i = 0;
    while (i < parameter.size()) {
        const char c = parameter[i];
        if (!quoted && (c == ' ' || c == '\t')) {
            if (inArgument) arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            std::size_t backslashes = 0;
            while (i < parameter.size() && parameter[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < parameter.size() && parameter[i] == '"') {
                current.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    current.push_back('"');
                    ++i;
                }
            } else {
                current.append(backslashes, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (quoted && i + 1 < parameter.size() && parameter[i + 1] == '"') {
                current.push_back('"');
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current.push_back(c);
        ++i;
    }
    if (inArgument) arguments.push_back(std::move(current));
    return arguments;
}

bool StartProcess(Launcher* launcher, const std::string& program, std::string_view parameter) {
    if (launcher == nullptr || program.empty()) return false;
    return launcher->Launch(program, SplitParameters(parameter));
}
