#include "display/CsvTools.h"

#include "platform/FileSystem.h"
#include "platform/Launcher.h"
#include "platform/Ui.h"

namespace {

std::string_view ToolName(CsvTool tool) {
    return tool == CsvTool::kConverter ? "convtool" : "sumtool";
}

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

}  // namespace

std::string_view CsvToolCommand(CsvTool tool) {
    return tool == CsvTool::kConverter ? "CSV-Converter" : "CSV-Statistics";
}

std::string_view CsvToolQuestion(CsvTool tool) {
    if (tool == CsvTool::kConverter)
        return "Converts existing weather data in the data path into CSV-Files.\n\nIMPORTANT: "
               "convtool.exe must be in the data path!";
    return "Creates a CSV-statisticfrom all stored weather data in the data path.\n\nIMPORTANT: "
           "SUMTOOL.EXE must be in the data path!!\nNot running under 64-bit systems!";
}

std::optional<std::string> FindCsvTool(CsvTool tool, const std::string& dataFolder) {
    const std::string name(ToolName(tool));
    // The texts name the Windows files; a copy from there may keep its upper case.
    for (const std::string& candidate :
         {name, name + ".exe", UpperCase(name + ".exe"), UpperCase(name)}) {
        const std::string path = dataFolder + "/" + candidate;
        if (FileSystem::FileExists(path)) return path;
    }
    return std::nullopt;
}

CsvToolStart StartCsvTool(CsvTool tool, const std::string& dataFolder, Ui& ui, Launcher* launcher,
                          std::string_view caption) {
    if (ui.MessageBox(CsvToolQuestion(tool), caption, MsgButtons::OkCancel, MsgIcon::Information) !=
        MsgAnswer::Ok)
        return CsvToolStart::kCancelled;
    const std::string name(ToolName(tool));
    const std::optional<std::string> program = FindCsvTool(tool, dataFolder);
    if (!program) {
        ui.MessageBox(name + " was not found in the data path\n" + dataFolder + "\n\nCopy " + name +
                          " (or " + name + ".exe) into this folder.",
                      caption, MsgButtons::Ok, MsgIcon::Warning);
        return CsvToolStart::kMissing;
    }
    if (launcher == nullptr || !launcher->LaunchIn(*program, {}, dataFolder)) {
        ui.MessageBox(*program + " could not be started.", caption, MsgButtons::Ok, MsgIcon::Error);
        return CsvToolStart::kFailed;
    }
    return CsvToolStart::kStarted;
}
