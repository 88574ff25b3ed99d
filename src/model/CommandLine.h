#pragma once

#include <string>
#include <vector>

// Who sets whose clock when the station's and the PC's differ.
enum class ClockMode {
    kPcSetsStation = 1,  // "-PC", the default
    kStationSetsPc = 2,  // "-GPS": the station's clock is the better one
    kWarnOnly = 3,       // "-NO": warn, and ask at the initialisation
};

// What the command line sets for the whole run.
struct CommandLineOptions {
    ClockMode clockMode = ClockMode::kPcSetsStation;
    bool silent = false;           // exit after the first initialisation
    bool noResetCommands = false;  // no automatic "!R" and "!P"
    bool operator==(const CommandLineOptions&) const = default;
};

// `arguments` without the program name.
CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments);
