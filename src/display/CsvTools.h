#pragma once

// CsvTools start the external CSV converter and statistics programs.

#include <optional>
#include <string>
#include <string_view>

class Launcher;
class Ui;

// The two tool commands of the diagram view: a question with OK and Cancel,
// then the tool from the station's data folder, started there.
enum class CsvTool { kConverter, kStatistics };

enum class CsvToolStart { kCancelled, kStarted, kMissing, kFailed };

// "CSV-Converter" / "CSV-Statistics".
std::string_view CsvToolCommand(CsvTool tool);
// The question shown before the start.
std::string_view CsvToolQuestion(CsvTool tool);

// The tool's file in `dataFolder`: "convtool" / "sumtool", or the same with
// ".exe" in lower or upper case, the first that exists; nothing when none does.
std::optional<std::string> FindCsvTool(CsvTool tool, const std::string& dataFolder);

// Asks, looks the tool up and starts it with the data folder as its working
// folder. A missing tool or a failed start is told in a message box (a tool
// that cannot be found must not look like one that did nothing). Without a
// launcher nothing can start, which is reported like a failed start.
CsvToolStart StartCsvTool(CsvTool tool, const std::string& dataFolder, Ui& ui, Launcher* launcher,
                          std::string_view caption);
