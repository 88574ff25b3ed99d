#pragma once

#include "platform/Launcher.h"

// posix_spawn for executables, xdg-open for files; children are not waited for.
class PosixLauncher final : public Launcher {
public:
    bool StartProgram(const std::string& path) override;
    bool OpenFile(const std::string& path) override;
    bool Launch(const std::string& file, const std::vector<std::string>& arguments) override;
    bool LaunchIn(const std::string& file, const std::vector<std::string>& arguments,
                  const std::string& workingFolder) override;
};
