#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The station's command language: what the PC sends, how the station answers.
namespace StationProtocol {

// Where the initialisation worker hands data lines (the window message numbers
// of the original): none, the record lines before the logger read, the logger lines.
enum LineMessageId : int { kNoLineMessage = 0, kRecordLine = 0x403, kLoggerLine = 0x40D };

// "%H%M%S%d%m%y": the date-time parameter of "!U" and "?D".
std::string StationTimeText(std::time_t time);

// "!U" + the time: sets the station's clock.
std::string ClockCommand(std::time_t time);
// "?D" + the time of the last stored record: replays the data logger from there.
std::string LoggerQueryCommand(std::time_t lastStored);
// The storage interval in the station's three forms: tens of seconds when that
// is exact and fits, whole seconds when odd, else half seconds.
std::string StorageIntervalCommand(int seconds);
// "!O" + the altitude in metres.
std::string AltitudeCommand(int metres);

// The text of an initialisation echo: after the last '<' up to the first '>'
// behind it; nothing when the line holds no such pair.
std::optional<std::string> EchoText(std::string_view line);
// The online exchange takes any line with '<' and '>' as the reply.
bool IsOnlineReply(std::string_view line);

// The sensor identifiers of a record line: each comma-terminated field
// without its digits, blanks, '.', '-' and ':'. Stops at the first empty
// field and at a comma that ends the line. Appends to `identifiers`; always true.
bool ReadSensorIdentifiers(std::string_view line, std::vector<std::string>& identifiers);

// Removes every occurrence of `what` from `text`.
void RemoveAll(std::string& text, std::string_view what);

}  // namespace StationProtocol
