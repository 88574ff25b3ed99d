#include "calc/VirtualSensors.h"

#include <cmath>
#include <string_view>

#include "model/MissingValue.h"
#include "model/TextNumbers.h"

namespace {

float VariableOr(const CFormelParser& parser, std::string_view name) {
    float value = kMissingValue;
    if (!parser.GetVariable(name, value)) return kMissingValue;
    return value;
}

float Limit(const CFormelParser& parser, int format, const std::string& text, float number) {
    return format == 1 ? VariableOr(parser, text) : number;
}

float Replacement(const CFormelParser& parser, int format, const std::string& text) {
    switch (format) {
        case 1:
            return TextNumbers::AtofFloat(text);
        case 2:
            return VariableOr(parser, text);
        default:
            return kMissingValue;
    }
}

}  // namespace

float EvaluateVirtualSensor(CFormelParser& parser, const CSensoren& sensor) {
    float value = 0.0f;
    if (parser.ParseExpression(sensor.m_formula, value) != sensor.m_formula.size()) {
        return kMissingValue;
    }
    return ApplyLimits(parser, sensor, value);
}

float ApplyLimits(const CFormelParser& parser, const CSensoren& sensor, float value) {
    const float lower =
        Limit(parser, sensor.m_lowerLimitFormat, sensor.m_lowerLimitText, sensor.m_lowerLimit);
    const float upper =
        Limit(parser, sensor.m_upperLimitFormat, sensor.m_upperLimitText, sensor.m_upperLimit);
    if (lower <= value && value <= upper) return value;
    if (value > upper) return Replacement(parser, sensor.m_overflowFormat, sensor.m_overflowText);
    return Replacement(parser, sensor.m_underflowFormat, sensor.m_underflowText);
}
