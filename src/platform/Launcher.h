#pragma once

#include <string>

// Starts other programs: an executable, or a file with the desktop's default
// program. Success means the start itself worked.
class Launcher {
public:
    virtual ~Launcher() = default;
    virtual bool StartProgram(const std::string& path) = 0;
    virtual bool OpenFile(const std::string& path) = 0;
};
