#include "calc/CFormelParser.h"

#include <cmath>
#include <cstdint>

#include "app/TextNumbers.h"
#include "calc/ParserText.h"

namespace {

static_assert(CFormelParser::kMaxNameLength == ParserText::kMaxNameLength);

struct FunctionEntry {
    const char* name;
    int arity;
};

// Indexed by Id.
constexpr FunctionEntry kFunctionTable[] = {
    {"ARCCOS", 1}, {"ARCSIN", 1}, {"ARCTAN", 1}, {"COS", 1},    {"TAN", 1},  {"SIN", 1},
    {"PI", 0},     {"POTENZ", 2}, {"POW", 2},    {"WURZEL", 1}, {"SQRT", 1}, {"LN", 1},
    {"LOG", 2},    {"LOG10", 1},  {"EXP", 1},    {"ABS", 1},
};

// The stored formulas' value of pi, not the float nearest to pi.
constexpr float kPi = 3.14159f;

// A variable below this has no value in this record (the station's missing
// value is -99999).
constexpr float kInvalidLimit = -99990.0f;

// atof's value of a run of digits and points, without its cost for the usual
// short numbers: up to 15 digits make an exact integer, and dividing it by an
// exact power of ten rounds once, as a correct decimal conversion does.
double NumberValue(std::string_view run) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    constexpr int kMaxDigits = 15;
    std::uint64_t mantissa = 0;
    int digits = 0;
    int decimals = -1;  // -1 until the point
    for (const char c : run) {
        if (c == '.') {
            if (decimals >= 0) break;  // a second point ends the value
            decimals = 0;
            continue;
        }
        if (digits == kMaxDigits) return TextNumbers::Atof(run);
        mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
        ++digits;
        if (decimals >= 0) ++decimals;
    }
    const double whole = static_cast<double>(mantissa);
    return decimals > 0 ? whole / kPowers[decimals] : whole;
}

float Compute(int id, double a, double b) {
    switch (id) {
        case 0:
            return static_cast<float>(std::acos(a));
        case 1:
            return static_cast<float>(std::asin(a));
        case 2:
            return static_cast<float>(std::atan(a));
        case 3:
            return static_cast<float>(std::cos(a));
        case 4:
            return static_cast<float>(std::tan(a));
        case 5:
            return static_cast<float>(std::sin(a));
        case 6:
            return kPi;
        case 7:
        case 8:
            return static_cast<float>(std::pow(a, b));
        case 9:
        case 10:
            return static_cast<float>(std::sqrt(a));
        case 11:
            return static_cast<float>(std::log(a));
        case 12:
            return static_cast<float>(std::log(a) / std::log(b));
        case 13:
            return static_cast<float>(std::log10(a));
        case 14:
            return static_cast<float>(std::exp(a));
        case 15:
            return std::fabs(static_cast<float>(a));
        default:
            return 0.0f;
    }
}

}  // namespace

CFormelParser::CFormelParser() {
    m_functions.reserve(std::size(kFunctionTable));
    int id = 0;
    for (const FunctionEntry& entry : kFunctionTable) {
        FunktionDef def{};
        ParserText::NameKey key;
        ParserText::MakeKey(entry.name, key);
        ParserText::Store(key, def.Name);
        def.Arity = entry.arity;
        def.Id = id++;
        m_functions.push_back(def);
    }
}

CFormelParser::~CFormelParser() = default;

void CFormelParser::ClearVariables() {
    m_variables.clear();
    m_usedIdentifiers.clear();
}

void CFormelParser::AddVariable(std::string_view name) {
    ParserText::NameKey key;
    if (!ParserText::MakeKey(name, key)) return;
    VarDef& def = m_variables.emplace_back();
    ParserText::Store(key, def.Name);
    def.Value = 0.0f;
}

bool CFormelParser::SetVariable(std::string_view name, float value) {
    m_usedIdentifiers.clear();
    ParserText::NameKey key;
    if (!ParserText::MakeKey(name, key)) return false;
    for (VarDef& def : m_variables) {
        if (ParserText::Matches(def.Name, key)) {
            def.Value = value;
            return true;
        }
    }
    return false;
}

bool CFormelParser::GetVariable(std::string_view name, float& value) const {
    ParserText::NameKey key;
    if (!ParserText::MakeKey(name, key)) return false;
    for (const VarDef& def : m_variables) {
        if (ParserText::Matches(def.Name, key)) {
            value = def.Value;
            return true;
        }
    }
    return false;
}

std::size_t CFormelParser::ParseExpression(std::string_view text, float& value) {
    Cursor in{text.data(), text.data() + text.size()};
    m_steps = 0;
    m_maxSteps = kMinSteps + kStepsPerChar * text.size();
    m_limitAt = nullptr;
    value = Expression(in, 0);
    const char* stop = m_limitAt != nullptr ? m_limitAt : in.at;
    return static_cast<std::size_t>(stop - text.data());
}

bool CFormelParser::Refused(const char* at, int depth) {
    if (depth < kMaxDepth && m_steps <= m_maxSteps) return false;
    if (m_limitAt == nullptr) m_limitAt = at;
    return true;
}

// An Expression is a sum of Terms, a Term a product of Factors. Both levels
// share this one loop (no call per Term): it runs for every formula of every
// record. An operator is always consumed; when its operand cannot be read it
// has no effect, and a first Term that reads nothing counts as 0.
float CFormelParser::Expression(Cursor& in, int depth) {
    float sum = 0.0f;
    char sumOp = 0;  // the "+" or "-" before the current Term; 0 for the first
    for (;;) {
        float product = 0.0f;
        if (Factor(in, product, depth)) {
            while (in.at != in.end && (*in.at == '*' || *in.at == '/')) {
                const char op = *in.at++;
                float factor = 0.0f;
                if (Factor(in, factor, depth)) {
                    product = op == '*' ? product * factor : product / factor;
                }
            }
            sum = sumOp == 0 ? product : sumOp == '+' ? sum + product : sum - product;
        }
        if (m_limitAt != nullptr) return sum;
        if (in.at == in.end || (*in.at != '+' && *in.at != '-')) return sum;
        sumOp = *in.at++;
    }
}

bool CFormelParser::Factor(Cursor& in, float& value, int depth) {
    if (in.at == in.end || m_limitAt != nullptr) return false;
    ++m_steps;
    if (ParserText::IsDigit(*in.at)) {
        const char* end = in.at;
        while (end != in.end && (ParserText::IsDigit(*end) || *end == '.')) ++end;
        // Only the run is converted: "1E5" is the number 1 followed by a name.
        value = static_cast<float>(NumberValue(std::string_view(in.at, end - in.at)));
        in.at = end;
        return true;
    }
    if (ParserText::IsNameChar(*in.at)) {
        const char* end = in.at;
        while (end != in.end && ParserText::IsNameChar(*end)) ++end;
        const std::string_view name(in.at, end - in.at);
        if (end != in.end && *end == '(' && FunctionCall(in, name, value, depth)) return true;
        if (m_limitAt != nullptr || !Variable(name, value)) return false;
        in.at = end;
        return true;
    }
    // An empty name is no identifier, so "(" is never read as a variable or a call.
    if (*in.at == '(' && !Refused(in.at, depth)) {
        ++in.at;
        value = Expression(in, depth + 1);
        if (in.Is(')')) ++in.at;
        return true;
    }
    return false;
}

bool CFormelParser::FunctionCall(Cursor& in, std::string_view name, float& value, int depth) {
    const char* open = name.data() + name.size();
    if (open == in.end || *open != '(') return false;
    const FunktionDef* function = FindFunction(name);
    if (function == nullptr || Refused(name.data(), depth)) return false;

    Cursor args{open + 1, in.end};
    double first = 0.0;
    double second = 0.0;
    bool closed = false;
    switch (function->Arity) {
        case 0:
            closed = args.Is(')');
            break;
        case 1:
            first = Expression(args, depth + 1);
            closed = args.Is(')');
            break;
        default:
            first = Expression(args, depth + 1);
            // The separator is any one character but ")"; at the end of the
            // text there is none to skip.
            if (args.at != args.end && *args.at != ')') {
                ++args.at;
                second = Expression(args, depth + 1);
                closed = args.Is(')');
            }
            break;
    }
    if (!closed) {
        // The call still counts as read, so the formula stops right after its "(".
        in.at = open + 1;
        value = 0.0f;
        return true;
    }
    in.at = args.at + 1;
    value = Compute(function->Id, first, second);
    return true;
}

bool CFormelParser::Variable(std::string_view name, float& value) {
    ParserText::NameKey key;
    if (name.empty() || !ParserText::MakeKey(name, key)) return false;
    for (const VarDef& def : m_variables) {
        if (!ParserText::Matches(def.Name, key)) continue;
        if (def.Value < kInvalidLimit) return false;
        value = def.Value;
        if (m_collectIdentifiers) m_usedIdentifiers.append(name).push_back(',');
        return true;
    }
    return false;
}

const CFormelParser::FunktionDef* CFormelParser::FindFunction(std::string_view name) const {
    ParserText::NameKey key;
    if (name.empty() || !ParserText::MakeKey(name, key)) return nullptr;
    for (const FunktionDef& def : m_functions) {
        if (ParserText::Matches(def.Name, key)) return &def;
    }
    return nullptr;
}
