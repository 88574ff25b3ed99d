#pragma once

#include <string>
#include <vector>

// What the command line sets for the whole run.
struct CommandLineOptions {
    int clockMode = 1;    // 1 PC sets the station, 2 station (GPS) sets the PC, 3 only warn
    bool silent = false;  // exit after the first initialisation
    bool noResetCommands = false;  // no automatic "!R" and "!P"
    bool operator==(const CommandLineOptions&) const = default;
};

// `arguments` without the program name.
CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments);
