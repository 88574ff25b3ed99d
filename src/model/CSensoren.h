#pragma once

// CSensoren ("sensors") is one sensor's definition.

#include <cstdint>
#include <memory>
#include <string>

#include "model/WindRoseSettings.h"

class CSumHour;
class SingleValueWindow;

// One sensor definition, measured (from define.ini) or virtual (from intern.ini),
// keyed by its identifier. A plain record: loaders and the properties dialog
// fill the fields directly.
class CSensoren {
public:
    CSensoren();
    ~CSensoren();
    CSensoren(const CSensoren&) = delete;
    CSensoren& operator=(const CSensoren&) = delete;

    std::string m_identifier;
    std::string m_name;
    std::string m_unit;
    float m_factor = 0.0f;
    float m_offset = 0.0f;
    // Windows colour value: red in the low byte.
    std::uint32_t m_colour = 0;

    float m_lowerLimit = 0.0f;
    // As written; names a sensor whose current value is the limit when the format is 1.
    std::string m_lowerLimitText;
    int m_lowerLimitFormat = 0;
    std::string m_underflowText;
    // 1: the text is a number, 2: the text names a sensor, otherwise the missing value.
    int m_underflowFormat = 0;
    float m_upperLimit = 0.0f;
    std::string m_upperLimitText;
    int m_upperLimitFormat = 0;
    std::string m_overflowText;
    int m_overflowFormat = 0;

    int m_minScale = 0;
    int m_maxScale = 0;
    bool m_showTendency = false;
    int m_tendencyTimeBase = 0;  // seconds
    int m_tendencyMode = 0;
    bool m_showSum = false;
    int m_sumMode = 0;
    bool m_showActivity = false;
    int m_activityMode = 0;
    float m_activityThreshold = 0.0f;
    bool m_showMinScale = false;
    bool m_showMaxScale = false;
    bool m_showMean = false;
    bool m_showMaximum = false;
    bool m_showMinimum = false;
    int m_diagramType = 0;
    int m_scalingRange = 0;
    bool m_beaufort = false;
    WindRoseSettings m_windRose;

    bool m_virtual = false;
    std::string m_formula;
    std::string m_formulaIdentifiers;
    int m_decimals = 0;

    std::unique_ptr<SingleValueWindow> m_singleValueWindow;
    bool m_hourlySum = false;
    // Present exactly when the hourly sum is on.
    std::unique_ptr<CSumHour> m_sumHour;
};
