#pragma once

#include <cstddef>
#include <ctime>
#include <deque>
#include <optional>
#include <string>

// Records that the data file could not take (a full disk, a write-protected
// folder), oldest first, until it takes them again. Bounded, so that a disk
// that stays full cannot take the memory as well.
class KeptRecords {
public:
    struct Record {
        std::time_t time = 0;
        std::string line;   // as it goes into the data file, CR LF included
        bool sync = false;  // a live record: synced to disk when it is written
    };

    // A day of records: long enough for someone to notice and free the disk.
    static constexpr int kKeptSeconds = 24 * 3600;
    // How many records a day holds at `interval` seconds (at least one).
    static std::size_t CapacityFor(int interval);

    // Keeps `record` behind the others; when `capacity` records are kept
    // already, the oldest makes room and comes back.
    std::optional<Record> Keep(Record record, std::size_t capacity);

    bool Empty() const { return m_records.empty(); }
    std::size_t Size() const { return m_records.size(); }
    // Only when not Empty().
    const Record& Oldest() const { return m_records.front(); }
    const Record& Newest() const { return m_records.back(); }
    void DropOldest() { m_records.pop_front(); }

private:
    std::deque<Record> m_records;
};
