#include "platform/PosixLauncher.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace {

bool Spawn(const char* program, std::vector<std::string> arguments, bool searchPath,
           const std::string& workingFolder = {}) {
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

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        posix_spawnattr_destroy(&attributes);
        return false;
    }
    // A folder that cannot be entered fails the start instead of running elsewhere.
    const bool folderSet = workingFolder.empty() || posix_spawn_file_actions_addchdir_np(
                                                        &actions, workingFolder.c_str()) == 0;
    pid_t pid = 0;
    const int error = !folderSet ? -1
                      : searchPath
                          ? posix_spawnp(&pid, program, &actions, &attributes, argv.data(), environ)
                          : posix_spawn(&pid, program, &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
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
    return LaunchIn(file, arguments, {});
}

bool PosixLauncher::LaunchIn(const std::string& file, const std::vector<std::string>& arguments,
                             const std::string& workingFolder) {
    if (file.empty()) return false;
    std::vector<std::string> argv{file};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    if (IsExecutableFile(file)) return Spawn(file.c_str(), std::move(argv), false, workingFolder);
    if (file.find("://") != std::string::npos)
        return Spawn("xdg-open", {"xdg-open", file}, true, workingFolder);
    if (file.find('/') == std::string::npos && access(file.c_str(), F_OK) != 0)
        return Spawn(file.c_str(), std::move(argv), true, workingFolder);
    if (access(file.c_str(), R_OK) != 0) return false;
    return Spawn("xdg-open", {"xdg-open", file}, true, workingFolder);
}
