#include "calc/CVergleichParser.h"

#include "calc/ParserText.h"
#include "model/TextNumbers.h"

static_assert(CVergleichParser::kMaxNameLength == ParserText::kMaxNameLength);

CVergleichParser::CVergleichParser() = default;

CVergleichParser::~CVergleichParser() = default;

void CVergleichParser::ClearVariables() { m_variables.clear(); }

void CVergleichParser::AddVariable(std::string_view name) {
    ParserText::AddVariable(m_variables, name);
}

bool CVergleichParser::SetVariable(std::string_view name, float value) {
    VarDef* def = ParserText::FindVariable(m_variables, name);
    if (def == nullptr) return false;
    def->Value = value;
    return true;
}

std::size_t CVergleichParser::ParseConditions(std::string_view text, bool& result) const {
    std::size_t pos = 0;
    bool previous = false;
    bool allHold = true;
    for (bool first = true;; first = false) {
        bool holds = false;
        const Read read = Comparison(text, pos, holds);
        if (read == Read::Failed) {
            // The list ends before that comparison: at the start, or just after its separator.
            if (first) allHold = false;
            break;
        }
        // A comparison that reads nothing repeats the previous verdict (false
        // when it is the first), which makes a trailing separator harmless.
        if (read == Read::Nothing) holds = previous;
        previous = holds;
        allHold = allHold && holds;
        if (pos >= text.size() || (text[pos] != ',' && text[pos] != ';')) break;
        ++pos;
    }
    result = allHold;
    return pos;
}

CVergleichParser::Read CVergleichParser::Comparison(std::string_view text, std::size_t& pos,
                                                    bool& holds) const {
    std::size_t p = pos;
    float first = 0.0f;
    if (!Operand(text, p, first)) return Read::Nothing;
    if (p >= text.size()) return Read::Failed;
    const char op = text[p];
    if (op != '>' && op != '<' && op != '=') return Read::Failed;
    ++p;
    float second = 0.0f;
    if (!Operand(text, p, second)) return Read::Failed;
    holds = op == '>' ? first > second : op == '<' ? first < second : first == second;
    pos = p;
    return Read::Done;
}

bool CVergleichParser::Operand(std::string_view text, std::size_t& pos, float& value) const {
    if (pos < text.size() && (ParserText::IsDigit(text[pos]) || text[pos] == '-')) {
        std::size_t end = pos;
        while (end < text.size() &&
               (ParserText::IsDigit(text[end]) || text[end] == '.' || text[end] == '-')) {
            ++end;
        }
        value = static_cast<float>(TextNumbers::Atof(text.substr(pos, end - pos)));
        pos = end;
        return true;
    }
    const std::size_t length = ParserText::NameLength(text, pos);
    // An empty name is no identifier, so ">5" never reads a variable.
    if (length == 0) return false;
    const VarDef* def = ParserText::FindVariable(m_variables, text.substr(pos, length));
    if (def == nullptr) return false;
    value = def->Value;
    pos += length;
    return true;
}
