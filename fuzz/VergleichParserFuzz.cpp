// Any bytes as a process-control condition: the parse must stay inside the
// text, end, and give the same answer twice.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "calc/CVergleichParser.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "VergleichParserFuzz: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CVergleichParser parser;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    parser.ClearVariables();
    const std::pair<const char*, float> variables[] = {
        {"TA", 6.0f},
        {"TB", -99999.0f},
        {"WG", 0.0f},
        {"N1", std::numeric_limits<float>::quiet_NaN()}};
    for (const auto& [name, value] : variables) {
        parser.AddVariable(name);
        parser.SetVariable(name, value);
    }

    bool result = false;
    const std::size_t stop = parser.ParseConditions(text, result);
    if (stop > size) Fail("position past the end of the text");
    if (stop == 0 && result) Fail("nothing read but true");
    bool again = !result;
    if (parser.ParseConditions(text, again) != stop || again != result) {
        Fail("second parse differs");
    }
    return 0;
}
