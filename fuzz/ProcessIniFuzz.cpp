// Any bytes as process.ini: loading must stay within its process limit and
// text lengths, every condition must evaluate and every parameter split, and
// storing the list must read back the same processes.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "FuzzFiles.h"
#include "app/ProcessControl.h"
#include "app/ProcessList.h"
#include "app/ProcessStart.h"
#include "calc/CVergleichParser.h"
#include "platform/IniProfile.h"

namespace {

constexpr const char* kName = "ProcessIniFuzz";
constexpr std::size_t kMaxRoundTrip = 100;

void CheckTexts(const CProcess& process) {
    for (const std::string* text : {&process.Program, &process.Parameter, &process.ExecCondition,
                                    &process.ReleaseCondition}) {
        if (text->size() > ProcessList::kMaxTextLength) FuzzFail(kName, "text too long");
        if (text->find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
            FuzzFail(kName, "line break kept in a text");
    }
    if (process.NoRelease != (process.ReleaseCondition.empty() ? 1 : 0))
        FuzzFail(kName, "NoRelease does not follow the release condition");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFolder folder;
    static CVergleichParser parser;
    static const bool variablesSet = [] {
        const std::pair<const char*, float> variables[] = {
            {"TA", 6.0f},
            {"TB", -99999.0f},
            {"WG", 0.0f},
            {"N1", std::numeric_limits<float>::quiet_NaN()}};
        for (const auto& [name, value] : variables) {
            parser.AddVariable(name);
            parser.SetVariable(name, value);
        }
        return true;
    }();
    (void)variablesSet;
    IniProfile profile;
    const std::string file =
        folder.Write("process.ini", std::string_view(reinterpret_cast<const char*>(data), size));

    ProcessList list;
    list.LoadProcesses(profile, file);
    if (list.Count() > ProcessList::kMaxProcesses) FuzzFail(kName, "more processes than allowed");

    // What the dialog lists and what a record does with each process.
    for (std::size_t i = 0; i < list.Count(); ++i) {
        const CProcess& process = list.At(i);
        CheckTexts(process);
        const std::string row = std::to_string(i + 1) + process.ExecCondition +
                                process.ReleaseCondition + process.Program + process.Parameter;
        (void)row;
        ProcessControl::Holds(parser, process.ExecCondition);
        ProcessControl::Holds(parser, process.ReleaseCondition);
        for (const std::string& argument : SplitParameters(process.Parameter))
            if (argument.size() > process.Parameter.size())
                FuzzFail(kName, "argument longer than its parameter text");
    }

    // Storing over the damaged file, then loading, gives the same texts back.
    // Each process stored replaces the file and each key read parses all of it,
    // so a list near the limit costs seconds by design: such lists stop here.
    if (list.Count() > kMaxRoundTrip) return 0;
    if (!list.StoreProcesses(profile, file)) FuzzFail(kName, "store failed");
    ProcessList again;
    again.LoadProcesses(profile, file);
    if (again.Count() != list.Count()) FuzzFail(kName, "stored count reads back changed");
    for (std::size_t i = 0; i < list.Count(); ++i)
        if (ProcessList::TextsOf(again.At(i)) != ProcessList::TextsOf(list.At(i)))
            FuzzFail(kName, "stored process reads back changed");
    return 0;
}
