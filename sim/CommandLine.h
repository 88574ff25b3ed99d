#pragma once

#include <string>
#include <vector>

#include "sim/SeedData.h"
#include "sim/StationOptions.h"

namespace orbsim {

enum class Mode { kServe, kSeed, kHelp, kVersion };

struct Invocation {
    Mode mode = Mode::kServe;
    StationOptions station;
    SeedOptions seed;
};

// The arguments after the program name. False with a message on a bad argument.
bool ParseCommandLine(const std::vector<std::string>& arguments, Invocation& invocation,
                      std::string& error);

std::string UsageText();

}  // namespace orbsim
