#include "calc/SensorDisplayInput.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "model/CSensoren.h"

namespace {

std::string FloatText(float value) {
    // A number beyond float's range loads as an infinity, which no text reads
    // back as: the largest float stands for it, so saving keeps it above all values.
    if (std::isinf(value)) value = std::copysign(std::numeric_limits<float>::max(), value);
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

}  // namespace

SensorDisplayInput DisplayInputOf(const CSensoren& sensor) {
    SensorDisplayInput in;
    in.minScale = std::to_string(sensor.m_minScale);
    in.maxScale = std::to_string(sensor.m_maxScale);
    in.considerMinScale = sensor.m_showMinScale;
    in.considerMaxScale = sensor.m_showMaxScale;
    in.scalingRange = sensor.m_scalingRange;
    in.diagramType = sensor.m_diagramType;
    in.colour = sensor.m_colour;
    in.showMaximum = sensor.m_showMaximum;
    in.showMinimum = sensor.m_showMinimum;
    in.showMean = sensor.m_showMean;
    in.showSum = sensor.m_showSum;
    in.sumMode = sensor.m_sumMode;
    in.showActivity = sensor.m_showActivity;
    in.activityMode = sensor.m_activityMode;
    in.activityThreshold = FloatText(sensor.m_activityThreshold);
    in.showTendency = sensor.m_showTendency;
    in.tendencyMode = sensor.m_tendencyMode;
    in.tendencyTimeBase = sensor.m_tendencyTimeBase;
    return in;
}
