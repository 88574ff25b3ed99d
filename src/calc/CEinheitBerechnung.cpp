#include "calc/CEinheitBerechnung.h"

#include <array>
#include <cmath>

#include "model/CSensoren.h"
#include "model/MissingValue.h"

namespace {

// Upper bounds of forces 0 to 16 in km/h, as 32-bit floats (force 6 ends at 49.5).
constexpr std::array<float, 17> kBeaufortBounds = {0.7f,   5.4f,   11.9f,  19.4f,  28.4f,  38.5f,
                                                   49.5f,  61.6f,  74.5f,  87.8f,  102.2f, 117.4f,
                                                   132.8f, 149.0f, 166.0f, 183.2f, 201.6f};

}  // namespace

unsigned CEinheitBerechnung::BeaufortNummer(float speed) const {
    for (unsigned number = 0; number < kBeaufortBounds.size(); ++number) {
        if (speed <= kBeaufortBounds[number]) return number;
    }
    return 17;  // above 201.6, or NaN, which no comparison lets through
}

float CEinheitBerechnung::ConvertValue(float raw, const CSensoren& sensor, Limits limits) const {
    if (sensor.m_virtual) return raw;
    if (limits == Limits::Check) {
        if (std::isnan(raw) || raw < sensor.m_lowerLimit || raw > sensor.m_upperLimit) {
            return kMissingValue;
        }
    } else if (raw == kMissingValue) {
        return kMissingValue;
    }
    if (sensor.m_beaufort) return static_cast<float>(BeaufortNummer(raw));
    const float scaled = raw * sensor.m_factor;
    return scaled + sensor.m_offset;
}
