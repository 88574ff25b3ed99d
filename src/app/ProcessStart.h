#pragma once

// How a process's program is started, by process control and by the dialog's check.

#include <string>
#include <string_view>
#include <vector>

class Launcher;

// Splits a parameter text into arguments the way a Windows program reads its
// command line: blanks separate, double quotes group (a doubled quote inside
// them is one quote), backslashes count only before a quote. No shell ever
// sees the text, so nothing in it is run.
std::vector<std::string> SplitParameters(std::string_view parameter);

// Starts `program` with `parameter`; false without a launcher, for an empty
// program, and when the start did not happen.
bool StartProcess(Launcher* launcher, const std::string& program, std::string_view parameter);
