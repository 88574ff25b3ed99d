#pragma once

#include <array>
#include <ctime>
#include <string>

#include "storage/RecordLine.h"

// The records that the record writer stores, shared with the test that checks them.
namespace RecordWriterLines {

// 1 March 2024, 00:00 UTC; one record a minute stays in March for weeks.
constexpr std::time_t kStart = 1709251200;
constexpr int kInterval = 60;
constexpr std::array<const char*, 12> kIdentifiers = {"TA", "TI", "FE", "FI", "DR", "RE",
                                                      "WG", "WR", "WS", "SO", "UV", "TB"};

// "TA12.3,TI45.6,..." for the record at `time`, one decimal each, as both the
// station sends it and the data file stores it.
inline std::string Fields(std::time_t time) {
    std::string fields;
    const long minute = static_cast<long>(time / 60);
    for (std::size_t i = 0; i < kIdentifiers.size(); ++i) {
        const long tenths = (minute * 7 + static_cast<long>(i) * 131) % 10000;
        fields +=
            kIdentifiers[i] + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + ",";
    }
    return fields;
}

// The data-file line of the record at `time`, CR LF included.
inline std::string Line(std::time_t time) {
    return RecordLine::TimePrefix(time) + Fields(time) + "\r\n";
}

}  // namespace RecordWriterLines
