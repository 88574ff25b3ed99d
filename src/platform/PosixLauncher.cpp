#include "platform/PosixLauncher.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
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

    // An ignored SIGCHLD would survive exec and break the child's own waiting for its children.
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) return false;
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const int error = searchPath
                          ? posix_spawnp(&pid, program, nullptr, &attributes, argv.data(), environ)
                          : posix_spawn(&pid, program, nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    return error == 0;
}

bool IsExecutableFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           access(path.c_str(), X_OK) == 0;
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

bool PosixLauncher::Launch(const std::string& file, const std::vector<std::string>& arguments) {
    if (file.empty()) return false;
    std::vector<std::string> argv{file};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    if (IsExecutableFile(file)) return Spawn(file.c_str(), std::move(argv), false);
    if (file.find("://") != std::string::npos) return Spawn("xdg-open", {"xdg-open", file}, true);
    if (file.find('/') == std::string::npos && access(file.c_str(), F_OK) != 0)
        return Spawn(file.c_str(), std::move(argv), true);
    return OpenFile(file);
}
