#include "calc/CFormelParser.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "calc/ParserText.h"
#include "model/MissingValue.h"
#include "model/TextNumbers.h"

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

// FindFunction compares only the first eight bytes of a name.
constexpr bool FunctionNamesFitEightBytes() {
    for (const FunctionEntry& entry : kFunctionTable) {
        if (std::string_view(entry.name).size() > 8) return false;
    }
    return true;
}
static_assert(FunctionNamesFitEightBytes());

// The stored formulas' value of pi, not the float nearest to pi.
constexpr float kPi = 3.14159f;

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

// Lookups by exact name, first match: inlined into the parse, which runs them
// for every name of every formula.
const CFormelParser::VarDef* FindVariable(const std::vector<CFormelParser::VarDef>& variables,
                                          std::string_view name) {
    return ParserText::FindVariable(variables, name);
}

const CFormelParser::FunktionDef* FindFunction(
    const std::vector<CFormelParser::FunktionDef>& functions, std::string_view name) {
    ParserText::NameKey key;
    if (!ParserText::MakeKey(name, key) || key.tail != 0) return nullptr;
    for (const CFormelParser::FunktionDef& def : functions) {
        std::uint64_t head = 0;
        std::memcpy(&head, def.Name, sizeof head);
        if (head == key.head) return &def;
    }
    return nullptr;
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
    ParserText::AddVariable(m_variables, name);
}

bool CFormelParser::SetVariable(std::string_view name, float value) {
    m_usedIdentifiers.clear();
    VarDef* def = ParserText::FindVariable(m_variables, name);
    if (def == nullptr) return false;
    def->Value = value;
    return true;
}

bool CFormelParser::GetVariable(std::string_view name, float& value) const {
    const VarDef* def = ParserText::FindVariable(m_variables, name);
    if (def == nullptr) return false;
    value = def->Value;
    return true;
}

// One evaluation: the unread text, the nesting and the work done so far.
// Defined here in full so that the simple Factors (numbers and variables)
// are inlined into the Expression loop; only brackets and calls recurse.
struct CFormelParser::Parse {
    CFormelParser& parser;
    const char* at;
    const char* end;
    std::size_t maxSteps;
    std::size_t steps = 0;
    const char* limitAt = nullptr;  // where a limit ended the parse

    bool AtChar(char c) const { return at != end && *at == c; }

    // An Expression is a sum of Terms, a Term a product of Factors. Both
    // levels share this one loop (no call per Term). An operator is always
    // consumed; when its operand cannot be read it has no effect, and a first
    // Term that reads nothing counts as 0.
    [[gnu::noinline]] float Expression(int depth) {
        float sum = 0.0f;
        char sumOp = 0;  // the "+" or "-" before the current Term; 0 for the first
        for (;;) {
            float product = 0.0f;
            if (Factor(product, depth)) {
                while (at != end && (*at == '*' || *at == '/')) {
                    const char op = *at++;
                    float factor = 0.0f;
                    if (Factor(factor, depth)) {
                        product = op == '*' ? product * factor : product / factor;
                    }
                }
                sum = sumOp == 0 ? product : sumOp == '+' ? sum + product : sum - product;
            }
            if (limitAt != nullptr) return sum;
            if (at == end || (*at != '+' && *at != '-')) return sum;
            sumOp = *at++;
        }
    }

    [[gnu::always_inline]] bool Factor(float& value, int depth) {
        if (at == end || limitAt != nullptr) return false;
        ++steps;
        if (ParserText::IsDigit(*at)) {
            const char* stop = at;
            while (stop != end && (ParserText::IsDigit(*stop) || *stop == '.')) ++stop;
            // Only the run is converted: "1E5" is the number 1 followed by a name.
            value = static_cast<float>(NumberValue(std::string_view(at, stop - at)));
            at = stop;
            return true;
        }
        if (ParserText::IsNameChar(*at)) {
            const char* stop = at;
            while (stop != end && ParserText::IsNameChar(*stop)) ++stop;
            const std::string_view name(at, stop - at);
            if (stop != end && *stop == '(' && FunctionCall(name, value, depth)) return true;
            if (limitAt != nullptr) return false;
            const VarDef* variable = FindVariable(parser.m_variables, name);
            if (variable == nullptr || variable->Value < kInvalidLimit) return false;
            value = variable->Value;
            if (parser.m_collectIdentifiers) parser.m_usedIdentifiers.append(name).push_back(',');
            at = stop;
            return true;
        }
        // An empty name is no identifier, so "(" is never read as a variable or a call.
        if (*at == '(') return Bracket(value, depth);
        return false;
    }

    [[gnu::noinline]] bool Bracket(float& value, int depth) {
        if (Refused(at, depth)) return false;
        ++at;
        value = Expression(depth + 1);
        if (AtChar(')')) ++at;
        return true;
    }

    // `name` is followed by "(".
    [[gnu::noinline]] bool FunctionCall(std::string_view name, float& value, int depth) {
        const FunktionDef* function = FindFunction(parser.m_functions, name);
        if (function == nullptr || Refused(name.data(), depth)) return false;

        const char* open = name.data() + name.size();
        at = open + 1;
        double first = 0.0;
        double second = 0.0;
        bool closed = false;
        switch (function->Arity) {
            case 0:
                closed = AtChar(')');
                break;
            case 1:
                first = Expression(depth + 1);
                closed = AtChar(')');
                break;
            default:
                first = Expression(depth + 1);
                // The separator is any one character but ")"; at the end of
                // the text there is none to skip.
                if (at != end && *at != ')') {
                    ++at;
                    second = Expression(depth + 1);
                    closed = AtChar(')');
                }
                break;
        }
        if (!closed) {
            // The call still counts as read, so the formula stops right after its "(".
            at = open + 1;
            value = 0.0f;
            return true;
        }
        ++at;
        value = Compute(function->Id, first, second);
        return true;
    }

    bool Refused(const char* where, int depth) {
        if (depth < kMaxDepth && steps <= maxSteps) return false;
        if (limitAt == nullptr) limitAt = where;
        return true;
    }
};

std::size_t CFormelParser::ParseExpression(std::string_view text, float& value) {
    Parse parse{*this, text.data(), text.data() + text.size(),
                kMinSteps + kStepsPerChar * text.size()};
    value = parse.Expression(0);
    const char* stop = parse.limitAt != nullptr ? parse.limitAt : parse.at;
    return static_cast<std::size_t>(stop - text.data());
}
