#include "model/CSumHour.h"

#include "model/MissingValue.h"

CSumHour::~CSumHour() = default;

void CSumHour::Add(float value, int storageIntervalSeconds, std::time_t recordTime) {
    // The window is measured by time, so the interval is not needed to bound it.
    (void)storageIntervalSeconds;

    // The window is the hour (recordTime - 3600, recordTime]: a value exactly
    // 3600 s older is dropped, so that with a 300 s interval twelve values (one
    // hour of intervals, not thirteen) make the sum. After a gap in the records
    // several values may leave at once.
    while (!Values.empty() && recordTime - Values.front().m_time >= kWindowSeconds) {
        Values.pop_front();
    }
    Values.push_back({value, recordTime});

    // Summed afresh each time so that float rounding cannot drift; a missing value
    // (a formula that failed) is kept in the window but adds nothing.
    double total = 0.0;
    for (const Value& kept : Values) {
        if (IsValidValue(kept.m_value)) total += kept.m_value;
    }
    Total = static_cast<float>(total);
}
