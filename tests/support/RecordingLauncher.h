#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Launcher.h"

// Records every start ("start PATH", "open PATH", "launch FILE|ARG|ARG") and
// answers with `works`; `failing` names files whose start fails anyway.
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
        std::string call = "launch " + file;
        for (const std::string& argument : arguments) call += "|" + argument;
        calls.push_back(call);
        if (onLaunch) onLaunch();
        for (const std::string& name : failing)
            if (name == file) return false;
        return works;
    }

    std::vector<std::string> calls;
    bool works = true;
    std::vector<std::string> failing;
    // Runs at each Launch, before it answers (to see what had happened by then).
    std::function<void()> onLaunch;
};
