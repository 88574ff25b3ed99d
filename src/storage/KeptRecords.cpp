#include "storage/KeptRecords.h"

#include <algorithm>
#include <utility>

std::size_t KeptRecords::CapacityFor(int interval) {
    // Without an interval every line is stored: at most one a second.
    const int seconds = std::max(1, interval);
    return static_cast<std::size_t>(std::max(1, kKeptSeconds / seconds));
}

std::optional<KeptRecords::Record> KeptRecords::Keep(Record record, std::size_t capacity) {
    std::optional<Record> given;
    if (!m_records.empty() && m_records.size() >= std::max<std::size_t>(1, capacity)) {
        given = std::move(m_records.front());
        m_records.pop_front();
    }
    m_records.push_back(std::move(record));
    return given;
}
