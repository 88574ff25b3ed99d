#pragma once

// RecordDecoder turns data-file lines into the values a reader aggregates.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/RecordLine.h"

class CFormelParser;
class CListGraph;

// Decodes the lines of a block: each line's time and, in the order the series
// take them, the converted value of every series the line feeds (measured
// series by field, then the virtual ones). Decoding reads the series'
// definitions only, so decoders on several threads may share one series list;
// each decoder is used by one thread at a time.
class RecordDecoder {
public:
    // A local date-time as written in the file, for the interval arithmetic.
    struct WallTime {
        int year = 0;
        int dayOfYear = 0;
        int secondOfDay = 0;
    };
    struct Value {
        CListGraph* series = nullptr;
        float value = 0.0f;
    };
    struct Line {
        std::time_t time = 0;
        WallTime wall;
        // Where the line lies in the block (without CR LF and leading NULs).
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
        std::uint32_t fieldsStart = 0;
        // Values [firstValue, firstValue + valueCount) of the block; only
        // when `decoded` (a line before the period start is left for later).
        std::uint32_t firstValue = 0;
        std::uint32_t valueCount = 0;
        bool decoded = false;
    };
    struct Block {
        std::vector<Line> lines;
        std::vector<Value> values;
    };

    // `parser` computes the virtual series; it is this decoder's alone.
    RecordDecoder(const std::vector<std::unique_ptr<CListGraph>>& series, CFormelParser& parser);

    // Every line of `bytes` (LF-separated) that holds a valid time, with the
    // values of those at or after `valuesFrom`.
    void DecodeBlock(std::string_view bytes, std::time_t valuesFrom, Block& block);
    // Appends the values of a line whose fields start at `fieldsStart`.
    void DecodeValues(std::string_view line, std::size_t fieldsStart, std::vector<Value>& values);

private:
    // DecodeValues, which may read the bytes of the line's block up to `readable`.
    // Returns the number of fields, which a record has at least one of.
    std::size_t DecodeFields(std::string_view line, std::size_t fieldsStart, const char* readable,
                             std::vector<Value>& values);
    std::optional<std::time_t> ToTime(const RecordLine::TimeTokens& tokens);
    // The time only: whether the line holds a field is left to the caller.
    bool DecodeTime(std::string_view line, Line& decoded);
    // A measured series fed by a field, with its conversion copied beside it:
    // a call per value through the definition costs more than the rest of the value.
    struct Target {
        CListGraph* series = nullptr;
        float factor = 1.0f;
        float offset = 0.0f;
        bool beaufort = false;
    };
    // The measured series that the field at `position` of a line feeds.
    static float Convert(const Target& target, float raw);
    const std::vector<Target>& SeriesForField(std::size_t position, std::string_view identifier);

    const std::vector<std::unique_ptr<CListGraph>>& m_series;
    CFormelParser& m_parser;
    bool m_hasVirtualSeries = false;

    // The start of the last hour converted. The time-zone rules cost more than
    // all the rest of a line, and a file holds many lines of each hour; zones
    // change their offset on the full hour, so the seconds within it add up.
    struct HourCache {
        bool valid = false;
        int year = 0, month = 0, day = 0, hour = 0;
        std::time_t start = 0;
        WallTime wall;  // at the start of the hour
    } m_hourCache;
    // What the fields at each position of the last line fed: the lines of a
    // file repeat their fields in one order, so one comparison finds them.
    static constexpr std::size_t kNotPacked = 9;
    struct FieldSlot {
        bool known = false;
        std::string identifier;
        // The identifier's bytes in a word, when it has at most eight.
        std::uint64_t packed = 0;
        std::size_t packedLength = kNotPacked;
        std::vector<Target> series;
    };
    std::vector<FieldSlot> m_fieldSlots;
};
