#pragma once

// CVergleichParser ("comparison parser") evaluates process-control conditions.

#include <cstddef>
#include <string_view>
#include <vector>

// The conditions of process control: comparisons of sensor values and numbers
// joined by "and", evaluated while they are parsed. No arithmetic, no brackets.
class CVergleichParser {
public:
    static constexpr std::size_t kMaxNameLength = 11;

    struct VarDef {
        char Name[12];  // a name longer than kMaxNameLength is never added
        float Value;
    };

    CVergleichParser();
    virtual ~CVergleichParser();

    // Deletes every variable.
    void ClearVariables();
    // Appends a variable of value 0 (an existing one of the same name is not looked for).
    // A name longer than kMaxNameLength (or holding a NUL) is not added.
    void AddVariable(std::string_view name);
    // Sets the first variable of exactly this name; false when there is none.
    bool SetVariable(std::string_view name, float value);

    // Parses and evaluates a condition list. Returns the index of the first
    // character not consumed: `result` counts only when that is text.size().
    std::size_t ParseConditions(std::string_view text, bool& result) const;

    const std::vector<VarDef>& Variables() const { return m_variables; }

private:
    enum class Read { Nothing, Failed, Done };

    Read Comparison(std::string_view text, std::size_t& pos, bool& holds) const;
    bool Operand(std::string_view text, std::size_t& pos, float& value) const;

    std::vector<VarDef> m_variables;
};
