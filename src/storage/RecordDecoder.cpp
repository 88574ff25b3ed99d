#include "storage/RecordDecoder.h"

#include <cstring>

#include "calc/CFormelParser.h"
#include "calc/VirtualSensors.h"
#include "model/TextNumbers.h"
#include "storage/CListGraph.h"
#include "storage/PlainRecord.h"

namespace {

// More fields than any station sends; the positions beyond share one slot.
constexpr std::size_t kMaxFieldSlots = 256;

// A line as the file holds it, without CR LF. Leading NUL bytes are what a
// crash on a full disk leaves before the next record; they belong to no token.
std::string_view TrimLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    std::size_t nuls = 0;
    while (nuls < line.size() && line[nuls] == '\0') ++nuls;
    line.remove_prefix(nuls);
    return line;
}

bool IsLeapYear(int year) { return year % 4 == 0; }

int DayOfYear(int year, int month, int day) {
    static constexpr int kDaysBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int days = kDaysBefore[month - 1] + day - 1;
    if (month > 2 && IsLeapYear(year)) ++days;
    return days;
}

// Identifiers are a few characters: a plain loop beats a call to memcmp.
bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

// True when a comma-terminated, non-empty field follows `start`: a line
// without one (a record torn before its first comma) holds no record.
bool HasField(std::string_view line, std::size_t start) {
    std::size_t begin = start;
    for (std::size_t i = start; i < line.size(); ++i) {
        if (line[i] != ',') continue;
        if (i > begin) return true;
        begin = i + 1;
    }
    return false;
}

}  // namespace

RecordDecoder::RecordDecoder(const std::vector<std::unique_ptr<CListGraph>>& series,
                             CFormelParser& parser)
    : m_series(series), m_parser(parser) {
    for (const auto& one : m_series) m_hasVirtualSeries |= one->IsVirtual();
}

const std::vector<CListGraph*>& RecordDecoder::SeriesForField(std::size_t position,
                                                              std::string_view identifier) {
    if (position >= kMaxFieldSlots) position = kMaxFieldSlots;  // garbage lines share one slot
    if (position >= m_fieldSlots.size()) m_fieldSlots.resize(position + 1);
    FieldSlot& slot = m_fieldSlots[position];
    if (slot.known && SameText(slot.identifier, identifier)) return slot.series;
    slot.known = true;
    slot.identifier = identifier;
    slot.series.clear();
    for (const auto& series : m_series) {
        // A virtual sensor's stored value is recomputed from the line; taking
        // it as well would count the line twice in its mean and sum.
        if (!series->IsVirtual() && series->Identifier() == identifier)
            slot.series.push_back(series.get());
    }
    return slot.series;
}

std::optional<std::time_t> RecordDecoder::ToTime(const RecordLine::TimeTokens& tokens) {
    if (!tokens.haveTime || !tokens.haveDate || tokens.minute < 0 || tokens.minute > 59 ||
        tokens.second < 0 || tokens.second > 59)
        return std::nullopt;
    const std::time_t withinHour = tokens.minute * 60 + tokens.second;
    HourCache& cache = m_hourCache;
    if (cache.valid && cache.year == tokens.year && cache.month == tokens.month &&
        cache.day == tokens.day && cache.hour == tokens.hour)
        return cache.start + withinHour;
    RecordLine::TimeTokens hour = tokens;
    hour.minute = 0;
    hour.second = 0;
    const std::optional<std::time_t> start = RecordLine::TokensToTime(hour);
    if (!start) return std::nullopt;
    cache = {true, tokens.year, tokens.month, tokens.day, tokens.hour, *start};
    return *start + withinHour;
}

bool RecordDecoder::DecodeTime(std::string_view line, Line& decoded) {
    RecordLine::TimeTokens tokens;
    if (!PlainRecord::ScanTimeTokens(line, tokens)) tokens = RecordLine::ScanTimeTokens(line);
    const std::optional<std::time_t> time = ToTime(tokens);
    if (!time || !HasField(line, tokens.afterDate)) return false;
    decoded.time = *time;
    decoded.wall.year = RecordLine::FullYear(tokens.year);
    decoded.wall.dayOfYear = DayOfYear(decoded.wall.year, tokens.month, tokens.day);
    decoded.wall.secondOfDay = tokens.hour * 3600 + tokens.minute * 60 + tokens.second;
    decoded.fieldsStart = static_cast<std::uint32_t>(tokens.afterDate);
    return true;
}

void RecordDecoder::DecodeValues(std::string_view line, std::size_t fieldsStart,
                                 std::vector<Value>& values) {
    // The parser only serves the virtual series; without one it is left alone.
    if (m_hasVirtualSeries) m_parser.ClearVariables();
    std::size_t position = 0;
    PlainRecord::ForEachField(line, fieldsStart, [&](const PlainRecord::FieldParts& parts) {
        std::string_view identifier = parts.identifier;
        const std::string_view number = parts.number;
        RecordLine::Field general;
        bool converted = false;
        if (!parts.plain) {
            general = RecordLine::SplitField(parts.field);
            identifier = general.identifier;
            converted = true;
        }
        // Only the values that a series or a formula uses are converted.
        auto value = [&] {
            if (!converted) {
                if (!PlainRecord::ToFloat(number, general.value))
                    general.value = TextNumbers::AtofFloat(number);
                converted = true;
            }
            return general.value;
        };
        if (m_hasVirtualSeries) {
            m_parser.AddVariable(identifier);
            m_parser.SetVariable(identifier, value());
        }
        const std::size_t slot = position++;
        const bool known = slot < m_fieldSlots.size() && m_fieldSlots[slot].known &&
                           SameText(m_fieldSlots[slot].identifier, identifier);
        for (CListGraph* series :
             known ? m_fieldSlots[slot].series : SeriesForField(slot, identifier))
            values.push_back({series, series->Convert(value())});
    });
    if (m_hasVirtualSeries) {
        for (const auto& series : m_series) {
            if (series->IsVirtual())
                values.push_back(
                    {series.get(), EvaluateVirtualSensor(m_parser, series->Definition())});
        }
    }
}

void RecordDecoder::DecodeBlock(std::string_view bytes, std::time_t valuesFrom, Block& block) {
    block.lines.clear();
    block.values.clear();
    const char* const data = bytes.data();
    const char* at = data;
    const char* const end = data + bytes.size();
    while (at < end) {
        const void* lf = std::memchr(at, '\n', static_cast<std::size_t>(end - at));
        const char* lineEnd = lf ? static_cast<const char*>(lf) : end;
        const std::string_view line =
            TrimLine(std::string_view(at, static_cast<std::size_t>(lineEnd - at)));
        at = lineEnd + 1;
        // An empty line is what a crash or a hand edit leaves; it ends
        // nothing, so the rest of the period is still read.
        if (line.empty()) continue;
        Line decoded;
        if (!DecodeTime(line, decoded)) continue;
        decoded.offset = static_cast<std::uint32_t>(line.data() - data);
        decoded.length = static_cast<std::uint32_t>(line.size());
        if (decoded.time >= valuesFrom) {
            decoded.decoded = true;
            decoded.firstValue = static_cast<std::uint32_t>(block.values.size());
            DecodeValues(line, decoded.fieldsStart, block.values);
            decoded.valueCount =
                static_cast<std::uint32_t>(block.values.size()) - decoded.firstValue;
        }
        block.lines.push_back(decoded);
    }
}
