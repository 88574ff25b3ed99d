#pragma once

#include <string>
#include <vector>

// Starts other programs: an executable, or a file with the desktop's default
// program. Success means the start itself worked.
class Launcher {
public:
    virtual ~Launcher() = default;
    virtual bool StartProgram(const std::string& path) = 0;
    virtual bool OpenFile(const std::string& path) = 0;
    // The shell's start with the default verb: an executable file (a bare name
    // is looked for in PATH) runs with `arguments`, passed as they are (no
    // shell sees them); any other file, a folder or a URL opens with the
    // desktop's default program, without the arguments. True once started.
    virtual bool Launch(const std::string& file, const std::vector<std::string>& arguments) = 0;
    // As Launch, with `workingFolder` as the started program's current folder.
    virtual bool LaunchIn(const std::string& file, const std::vector<std::string>& arguments,
                          const std::string& workingFolder) = 0;
};
