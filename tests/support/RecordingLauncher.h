#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Launcher.h"

// Records every start ("start PATH", "open PATH", "launch FILE|ARG|ARG",
// "launch in FOLDER FILE|ARG") and answers with `works`; `failing` names files
// whose start fails anyway.
struct RecordingLauncher final : Launcher {
    bool StartProgram(const std::string& path) override {
        calls.push_back("start " + path);
        return works;
    }
    bool OpenFile(const std::string& path) override {
        calls.push_back("open " + path);
        return works;
    }
    bool Launch(const std::string& file, const std::vector<std::string>& arguments) override {
        return Record("launch " + file, file, arguments);
    }
    bool LaunchIn(const std::string& file, const std::vector<std::string>& arguments,
                  const std::string& workingFolder) override {
        return Record("launch in " + workingFolder + " " + file, file, arguments);
    }

    std::vector<std::string> calls;
    bool works = true;
    std::vector<std::string> failing;
    // Runs at each Launch, before it answers (to see what had happened by then).
    std::function<void()> onLaunch;

private:
    bool Record(std::string call, const std::string& file,
                const std::vector<std::string>& arguments) {
        for (const std::string& argument : arguments) call += "|" + argument;
        calls.push_back(call);
        if (onLaunch) onLaunch();
        for (const std::string& name : failing)
            if (name == file) return false;
        return works;
    }
};
