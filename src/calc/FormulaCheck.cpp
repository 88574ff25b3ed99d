#include "calc/FormulaCheck.h"

#include <algorithm>
#include <cstdio>

#include "calc/CFormelParser.h"

namespace FormulaCheck {
namespace {

std::string WithoutSpaces(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c != ' ') out.push_back(c);
    }
    return out;
}

// "TA,TI,TA," -> "TA,TI,"
std::string FirstOccurrences(std::string_view used) {
    std::string out;
    std::vector<std::string_view> seen;
    while (!used.empty()) {
        const std::size_t comma = used.find(',');
        const std::string_view name = used.substr(0, comma);
        used.remove_prefix(comma == std::string_view::npos ? used.size() : comma + 1);
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
        seen.push_back(name);
        out.append(name).push_back(',');
    }
    return out;
}

}  // namespace

Outcome Check(std::string_view formula, const std::vector<std::string>& identifiers) {
    Outcome outcome;
    if (formula.empty()) {
        outcome.result = Result::Missing;
        outcome.message = kMissingFormula;
        return outcome;
    }

    CFormelParser parser;
    for (const std::string& identifier : identifiers) parser.AddVariable(identifier);
    parser.SetCollectIdentifiers(true);

    outcome.formula = WithoutSpaces(formula);
    float value = 0.0f;
    const std::size_t stop = parser.ParseExpression(outcome.formula, value);

    const auto opening = std::count(outcome.formula.begin(), outcome.formula.end(), '(');
    const auto closing = std::count(outcome.formula.begin(), outcome.formula.end(), ')');
    if (opening != closing) {
        outcome.result = Result::Invalid;
        outcome.status = kMissingBracket;
    } else if (stop != outcome.formula.size()) {
        outcome.result = Result::Invalid;
        char index[32];
        std::snprintf(index, sizeof index, " %zu.", stop);
        outcome.status = std::string(kErrorFromCharacter) + index;
        outcome.errorIndex = stop;
    } else {
        outcome.result = Result::Valid;
        outcome.status = kTermOk;
        outcome.identifiers = FirstOccurrences(parser.UsedIdentifiers());
    }
    return outcome;
}

Insertion InsertFunction(std::string_view formula, std::string_view syntax) {
    Insertion insertion;
    insertion.formula = std::string(formula) + WithoutSpaces(syntax);
    const std::size_t open = insertion.formula.find('(', formula.size());
    const std::size_t close = insertion.formula.rfind(')');
    if (open != std::string::npos && close != std::string::npos && close > open) {
        insertion.selectionStart = open + 1;
        insertion.selectionEnd = close;
    } else {
        // A syntax without a call: the caret goes to the end.
        insertion.selectionStart = insertion.selectionEnd = insertion.formula.size();
    }
    return insertion;
}

}  // namespace FormulaCheck
