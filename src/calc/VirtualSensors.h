#pragma once

#include <cstddef>

#include "calc/CFormelParser.h"
#include "model/CSensoren.h"

// The value of a virtual sensor for one record: its formula over the record's
// measured values (the parser's variables), bounded by its limits. The station
// document and the data-file reader both evaluate through these functions.
// Nothing here allocates, so it can run for every record of a long period.

// The formula's value after ApplyLimits, or -99999 when the formula is not
// consumed to its end (a missing or invalid value, or a syntax error).
float EvaluateVirtualSensor(CFormelParser& parser, const CSensoren& sensor);

// `value` when it lies within the lower and upper limit (inclusive), otherwise
// the overflow (above) or underflow (below, or NaN) replacement. A limit or
// replacement naming a variable that the parser does not hold counts as -99999.
float ApplyLimits(const CFormelParser& parser, const CSensoren& sensor, float value);

// Evaluates every virtual sensor of `sensors` (a range of pointers to
// CSensoren) in list order and calls onValue(index, sensor, value), index being
// the sensor's place in `sensors`. The results are not added to the parser: a
// virtual sensor never sees another one.
template <typename Sensors, typename OnValue>
void ComputeVirtualSensors(CFormelParser& parser, const Sensors& sensors, OnValue&& onValue) {
    std::size_t index = 0;
    for (const auto& entry : sensors) {
        const CSensoren& sensor = *entry;
        if (sensor.m_virtual) onValue(index, sensor, EvaluateVirtualSensor(parser, sensor));
        ++index;
    }
}
