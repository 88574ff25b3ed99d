#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "calc/CFormelParser.h"
#include "calc/FormulaCheck.h"

namespace {

using FormulaCheck::Result;

struct CheckRow {
    const char* formula;
    Result result;
    const char* status;
    std::optional<std::size_t> errorIndex;
    const char* identifiers = "";
    const char* stored = nullptr;  // the space-free formula when it differs
};

TEST(FormulaCheckTest, VerdictStatusCaretAndIdentifiers) {
    const std::vector<std::string> offered = {"TA", "TI", "WG"};
    const CheckRow rows[] = {
        {"TA+TI*TA", Result::Valid, "Term OK!", std::nullopt, "TA,TI,"},
        {"TA + TI * TA", Result::Valid, "Term OK!", std::nullopt, "TA,TI,", "TA+TI*TA"},
        {"POW(WG;2)/TA+WG", Result::Valid, "Term OK!", std::nullopt, "WG,TA,"},
        {"3+", Result::Valid, "Term OK!", std::nullopt},
        {"PI()", Result::Valid, "Term OK!", std::nullopt},
        // brackets are counted before the position is looked at
        {"(1+2", Result::Invalid, "Error ->missing bracket", std::nullopt},
        {"1+2)", Result::Invalid, "Error ->missing bracket", std::nullopt},
        {"1+X", Result::Invalid, "Error from character 2.", 2},
        {"1 + X", Result::Invalid, "Error from character 2.", 2, "", "1+X"},
        {"SIN(1,2)", Result::Invalid, "Error from character 4.", 4},
        {"SQR(4)", Result::Invalid, "Error from character 0.", 0},
        {"TA+TI+TA+TI+TX", Result::Invalid, "Error from character 12.", 12},
    };
    for (const CheckRow& row : rows) {
        const FormulaCheck::Outcome outcome = FormulaCheck::Check(row.formula, offered);
        EXPECT_EQ(outcome.result, row.result) << row.formula;
        EXPECT_EQ(outcome.status, row.status) << row.formula;
        EXPECT_EQ(outcome.errorIndex, row.errorIndex) << row.formula;
        EXPECT_EQ(outcome.identifiers, row.identifiers) << row.formula;
        EXPECT_EQ(outcome.formula, row.stored ? row.stored : row.formula) << row.formula;
        EXPECT_EQ(outcome.message, "") << row.formula;
    }
}

TEST(FormulaCheckTest, EmptyFormulaIsMissingWithItsMessage) {
    const FormulaCheck::Outcome outcome = FormulaCheck::Check("", {"TA"});
    EXPECT_EQ(outcome.result, Result::Missing);
    EXPECT_EQ(outcome.message, "Missing formula!");
    EXPECT_EQ(outcome.status, "");
    EXPECT_EQ(outcome.errorIndex, std::nullopt);
}

TEST(FormulaCheckTest, IdentifierNotOfferedIsAnErrorAtItsPosition) {
    const FormulaCheck::Outcome outcome = FormulaCheck::Check("TA+1", {"TI"});
    EXPECT_EQ(outcome.result, Result::Invalid);
    EXPECT_EQ(outcome.errorIndex, 0u);
}

TEST(FormulaCheckTest, AssistantTableMatchesTheParsersFunctions) {
    const CFormelParser parser;
    ASSERT_EQ(parser.Functions().size(), FormulaCheck::kFunctionHelp.size());
    for (std::size_t id = 0; id < parser.Functions().size(); ++id) {
        const CFormelParser::FunktionDef& def = parser.Functions()[id];
        EXPECT_EQ(def.Id, static_cast<int>(id));
        EXPECT_EQ(std::string(def.Name), FormulaCheck::kFunctionHelp[id].name);
        // The syntax shows one argument per "(" or separator; PI shows none.
        const std::string_view syntax = FormulaCheck::kFunctionHelp[id].syntax;
        const int shown = syntax.find("number") == std::string_view::npos &&
                                  syntax.find("Number") == std::string_view::npos
                              ? 0
                              : 1 + (syntax.find_first_of(";,") != std::string_view::npos);
        EXPECT_EQ(def.Arity, shown) << def.Name;
    }
    // Texts users know as they are, oddities included.
    EXPECT_EQ(FormulaCheck::kFunctionHelp[5].description, "Returns the  SINUS of a number.");
    EXPECT_EQ(FormulaCheck::kFunctionHelp[9].syntax, "SQR ( number )");
}

TEST(FormulaCheckTest, InsertionAppendsTheCallAndSelectsItsArguments) {
    struct Row {
        const char* formula;
        const char* function;
        const char* inserted;
        const char* selected;
        std::size_t selectionStart;
    };
    const Row rows[] = {
        {"", "LOG", "LOG(Number,Base)", "Number,Base", 4},
        {"TA+", "POTENZ", "TA+POTENZ(Number;Power)", "Number;Power", 10},
        {"2*", "PI", "2*PI()", "", 5},
        {"(TA", "WURZEL", "(TASQR(number)", "number", 7},
    };
    for (const Row& row : rows) {
        std::string_view syntax;
        for (const auto& help : FormulaCheck::kFunctionHelp) {
            if (help.name == row.function) syntax = help.syntax;
        }
        const FormulaCheck::Insertion insertion = FormulaCheck::InsertFunction(row.formula, syntax);
        EXPECT_EQ(insertion.formula, row.inserted);
        EXPECT_EQ(insertion.selectionStart, row.selectionStart) << row.inserted;
        ASSERT_LE(insertion.selectionStart, insertion.selectionEnd);
        EXPECT_EQ(insertion.formula.substr(insertion.selectionStart,
                                           insertion.selectionEnd - insertion.selectionStart),
                  row.selected);
    }
}

}  // namespace
