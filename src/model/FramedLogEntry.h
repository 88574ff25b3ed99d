#pragma once

// FramedLogEntry builds the entries of the program's dated log files.

#include <ctime>
#include <string>
#include <string_view>

// The line of 92 "#" above and below every entry of ErrLog.txt, ModemLog.txt
// and the AWEKAS log.
inline const std::string kLogFrame(92, '#');

// An entry of ModemLog.txt and the AWEKAS log: the frame, the English day name
// with local date and time ("Fri 11.12.26 ; 08:04:28"), the text, the frame and
// two empty lines, all with CR LF.
std::string DayFramedLogEntry(std::string_view text, std::time_t time);

// The text of a box about a log file that cannot be written: the file's name
// and the system's reason ("ModemLog.txt: Is a directory"), since the box alone
// must say which file is meant.
std::string LogFailureText(std::string_view path, std::string_view reason);
