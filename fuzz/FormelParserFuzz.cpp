// Any bytes as a formula: the parse must stay inside the text, end, and give
// the same answer twice; the formula check must agree with the parse.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "calc/CFormelParser.h"
#include "calc/FormulaCheck.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "FormelParserFuzz: %s\n", what);
    std::abort();
}

bool SameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Each entry of "A,B,A," must be one of `known`.
void CheckIdentifierList(std::string_view list, const std::vector<std::string>& known) {
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        if (comma == std::string_view::npos) Fail("identifier list not comma-terminated");
        const std::string_view name = list.substr(0, comma);
        bool found = false;
        for (const std::string& k : known) found = found || name == k;
        if (!found) Fail("identifier list holds a name that was not readable");
        list.remove_prefix(comma + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CFormelParser parser;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // TX has no value, so it must never be read or collected.
    parser.ClearVariables();
    const std::pair<const char*, float> variables[] = {
        {"TA", 20.0f}, {"TI", -3.5f}, {"TX", -99999.0f}, {"PI", 3.0f}, {"A1", 0.0f}};
    for (const auto& [name, value] : variables) {
        parser.AddVariable(name);
        parser.SetVariable(name, value);
    }
    const std::vector<std::string> readable = {"TA", "TI", "PI", "A1"};

    parser.SetCollectIdentifiers(true);
    float value = 0.0f;
    const std::size_t stop = parser.ParseExpression(text, value);
    if (stop > size) Fail("position past the end of the text");
    CheckIdentifierList(parser.UsedIdentifiers(), readable);

    float again = 0.0f;
    if (parser.ParseExpression(text, again) != stop) Fail("second parse stopped elsewhere");
    if (!SameFloat(value, again)) Fail("second parse gave another value");
    parser.SetCollectIdentifiers(false);

    const FormulaCheck::Outcome outcome = FormulaCheck::Check(text, {"TA", "TI", "PI", "A1"});
    if (text.empty()) {
        if (outcome.result != FormulaCheck::Result::Missing) Fail("empty formula not missing");
        return 0;
    }
    if (outcome.formula.find(' ') != std::string::npos) Fail("checked formula holds a space");
    CFormelParser fresh;
    for (const std::string& name : readable) fresh.AddVariable(name);
    float checked = 0.0f;
    const std::size_t checkedStop = fresh.ParseExpression(outcome.formula, checked);
    switch (outcome.result) {
        case FormulaCheck::Result::Valid:
            if (checkedStop != outcome.formula.size()) Fail("valid formula not consumed");
            CheckIdentifierList(outcome.identifiers, readable);
            break;
        case FormulaCheck::Result::Invalid:
            if (outcome.errorIndex && *outcome.errorIndex != checkedStop) {
                Fail("error index is not where the parse stopped");
            }
            if (outcome.errorIndex && *outcome.errorIndex >= outcome.formula.size()) {
                Fail("error index past the formula");
            }
            break;
        case FormulaCheck::Result::Missing:
            Fail("non-empty formula missing");
    }
    return 0;
}
