#pragma once

// CFormelParser ("formula parser") evaluates virtual sensors' formulas.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Arithmetic formulas over named sensor values, evaluated while they are
// parsed (no syntax tree): virtual sensors are computed by re-parsing their
// formula for every record. All arithmetic is in 32-bit floats.
class CFormelParser {
public:
    static constexpr std::size_t kMaxNameLength = 11;

    struct FunktionDef {
        char Name[12];  // upper-case function name
        int Arity;      // 0, 1 or 2
        int Id;         // 0..15, selects the computation
    };
    struct VarDef {
        char Name[12];  // a name longer than kMaxNameLength is never added
        float Value;
    };

    CFormelParser();
    virtual ~CFormelParser();

    // Deletes every variable and empties UsedIdentifiers.
    void ClearVariables();
    // Appends a variable of value 0 (an existing one of the same name is not looked for).
    // A name longer than kMaxNameLength (or holding a NUL) is not added: no
    // formula name could ever equal it, and a cut copy would alias a shorter name.
    void AddVariable(std::string_view name);
    // Empties UsedIdentifiers, then sets the first variable of exactly this name.
    bool SetVariable(std::string_view name, float value);
    // The value of the first variable of this exact name; false (value untouched) when none.
    bool GetVariable(std::string_view name, float& value) const;

    // Parses and evaluates `text`. Returns the index of the first character
    // not consumed: the formula is valid, and `value` its result, exactly when
    // that is text.size(). Never fails otherwise and never reads past `text`;
    // brackets or calls nested too deep, or unclosed calls nested so that the
    // parse would take exponential time, end it at the first such "(" or call.
    std::size_t ParseExpression(std::string_view text, float& value);

    void SetCollectIdentifiers(bool collect) { m_collectIdentifiers = collect; }
    bool CollectIdentifiers() const { return m_collectIdentifiers; }
    // Identifiers read while collecting, each followed by ",", duplicates included.
    const std::string& UsedIdentifiers() const { return m_usedIdentifiers; }

    const std::vector<FunktionDef>& Functions() const { return m_functions; }
    const std::vector<VarDef>& Variables() const { return m_variables; }

private:
    // Limits that keep any input cheap. Brackets and calls nested deeper than
    // kMaxDepth would exhaust the stack. A call whose ")" is missing is read
    // twice (its arguments, then the text after its "(" again), so nested
    // unclosed calls cost twice as much per level; the steps of one parse are
    // capped at kStepsPerChar per character (far above what a formula needs).
    // At the first bracket or call beyond a limit the parse ends, and the
    // formula is in error there.
    static constexpr int kMaxDepth = 256;
    static constexpr std::size_t kStepsPerChar = 64;
    static constexpr std::size_t kMinSteps = 1024;

    struct Parse;

    bool m_collectIdentifiers = false;
    std::string m_usedIdentifiers;
    std::vector<FunktionDef> m_functions;
    std::vector<VarDef> m_variables;
};
