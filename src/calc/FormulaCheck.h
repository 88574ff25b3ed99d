#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The virtual-sensor dialog's formula check and the function assistant's
// table and insertion, without the dialog: the widgets only show what these
// return.
namespace FormulaCheck {

inline constexpr std::string_view kMissingFormula = "Missing formula!";
inline constexpr std::string_view kMissingBracket = "Error ->missing bracket";
inline constexpr std::string_view kErrorFromCharacter = "Error from character";
inline constexpr std::string_view kTermOk = "Term OK!";
// Shown on OK when the check says Invalid.
inline constexpr std::string_view kPhraseNotCorrect = "Phrase not correct!";
inline constexpr std::string_view kNoFunctionSelected = "No function has been selected!";

enum class Result { Valid, Invalid, Missing };

struct Outcome {
    Result result = Result::Missing;
    // The formula without spaces: what the input field shows and what is stored.
    std::string formula;
    // Status text beside the button; empty for Missing.
    std::string status;
    // Where the caret goes: set only when the parse stopped before the end.
    std::optional<std::size_t> errorIndex;
    // For Valid: each identifier once, in order of first use, each followed by ",".
    std::string identifiers;
    // Message box text: set only for Missing.
    std::string message;
};

// Checks `formula` against the identifiers the dialog offers (each a variable of value 0).
Outcome Check(std::string_view formula, const std::vector<std::string>& identifiers);

// One line of the function assistant.
struct FunctionHelp {
    std::string_view name;
    std::string_view syntax;
    std::string_view description;
};

// In the order of the parser's function ids.
inline constexpr std::array<FunctionHelp, 16> kFunctionHelp{{
    {"ARCCOS", "ARCCOS ( number )", "Returns the ARCUS COSINUS of a number."},
    {"ARCSIN", "ARCSIN ( number )", "Returns the ARCUS SINUS of a number."},
    {"ARCTAN", "ARCTAN ( number )", "Returns the ARCUS TANGENS of a number."},
    {"COS", "COS ( number )", "Returns the COSINUS of a number."},
    {"TAN", "TAN ( number )", "Returns the TANGENS of a number."},
    {"SIN", "SIN ( number )", "Returns the  SINUS of a number."},
    {"PI", "PI ( )", "Returns pi."},
    {"POTENZ", "POTENZ ( Number; Power )", "Returns a powered number."},
    {"POW", "POW ( number; Power )", "Returns a powered number."},
    // The syntax names a function the parser does not know; users rely on the text as it is.
    {"WURZEL", "SQR ( number )", "Returns the square root of a number."},
    {"SQRT", "SQRT ( number )", "Returns the square root of a number."},
    {"LN", "LN ( number )", "Returns the logarithm of a number with the base e."},
    {"LOG", "LOG ( Number, Base )", "Returns the logarithm of a number with the specified base."},
    {"LOG10", "LOG10 ( number )", "Returns the logarithm of a number with the base 10"},
    {"EXP", "EXP ( number )", "Powers the base e with the number (argument)"},
    {"ABS", "ABS ( number )", "Returns the absolute value of a number (argument)"},
}};

// What inserting a function's syntax does to the formula.
struct Insertion {
    std::string formula;
    // The argument placeholder, [selectionStart, selectionEnd) in `formula`.
    std::size_t selectionStart = 0;
    std::size_t selectionEnd = 0;
};

// Appends `syntax` without spaces to the end of `formula` (not at the caret)
// and selects the text between the call's "(" and its last ")".
Insertion InsertFunction(std::string_view formula, std::string_view syntax);

}  // namespace FormulaCheck
