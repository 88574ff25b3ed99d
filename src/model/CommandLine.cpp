#include "model/CommandLine.h"

#include "model/TextNumbers.h"

CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLineOptions options;
    if (arguments.empty()) return options;
    // Only the first argument can choose the clock mode; the switches may stand anywhere.
    const std::string first = TextNumbers::ToUpper(arguments.front());
    if (first == "-PC")
        options.clockMode = ClockMode::kPcSetsStation;
    else if (first == "-GPS")
        options.clockMode = ClockMode::kStationSetsPc;
    else if (first == "-NO")
        options.clockMode = ClockMode::kWarnOnly;
    for (const std::string& argument : arguments) {
        const std::string upper = TextNumbers::ToUpper(argument);
        if (upper.find("-SILENT") != std::string::npos) options.silent = true;
        if (upper.find("-!PR") != std::string::npos) options.noResetCommands = true;
    }
    return options;
}
