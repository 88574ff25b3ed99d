#pragma once

#include <string>
#include <string_view>
#include <vector>

// What a Linux user asks a program before running it. Both are answered on
// standard output before any window exists, so they work without a display.
enum class InformationRequest {
    kNone,
    kHelp,     // "--help" or "-h"
    kVersion,  // "--version"
};

// The first request among `arguments` (without the program name). The
// station's own switches are no request; any other argument is left to them
// and to Qt.
InformationRequest FindInformationRequest(const std::vector<std::string>& arguments);

// "wetter 1.0.0" and a line end.
std::string VersionText();

// The usage: the station's switches, the long options and where the files
// lie, with the names the program `invokedAs` (argv[0]) gives them.
std::string HelpText(std::string_view invokedAs);
