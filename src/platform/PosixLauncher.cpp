#include "platform/PosixLauncher.h"

#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace {

bool Spawn(const char* program, std::vector<std::string> arguments, bool searchPath) {
    // Children end on their own; nobody collects them, so they must not linger as zombies.
    signal(SIGCHLD, SIG_IGN);
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int error = searchPath
                          ? posix_spawnp(&pid, program, nullptr, nullptr, argv.data(), environ)
                          : posix_spawn(&pid, program, nullptr, nullptr, argv.data(), environ);
    return error == 0;
}

}  // namespace

bool PosixLauncher::StartProgram(const std::string& path) {
    if (access(path.c_str(), X_OK) != 0) return false;
    return Spawn(path.c_str(), {path}, false);
}

bool PosixLauncher::OpenFile(const std::string& path) {
    if (access(path.c_str(), R_OK) != 0) return false;
    return Spawn("xdg-open", {"xdg-open", path}, true);
}
