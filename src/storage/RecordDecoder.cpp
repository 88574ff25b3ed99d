#include "storage/RecordDecoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <mutex>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "calc/CEinheitBerechnung.h"
#include "calc/CFormelParser.h"
#include "calc/VirtualSensors.h"
#include "model/MissingValue.h"
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

bool IsIdentifierChar(char c) {
    return PlainRecord::kCharClasses[static_cast<unsigned char>(c)] == PlainRecord::kIdentifierChar;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A number of the form [-]digits[.digits], as PlainRecord::ToFloat reads it.
struct PlainNumber {
    std::uint64_t mantissa = 0;
    std::ptrdiff_t digits = 0;
    std::ptrdiff_t decimals = 0;
    bool negative = false;

    // At most 15 digits: an integer below 2^53, exact in a double.
    bool Usable() const { return digits != 0 && digits <= 15; }
    float Value() const {
        static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        static constexpr float kFloatPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f};
        // Below 2^24 with at most six decimals, the float quotient equals the
        // double one rounded to float (checked for every such number), and
        // costs less.
        if (mantissa < (1u << 24) && decimals <= 6) {
            const float magnitude =
                static_cast<float>(mantissa) / kFloatPowers[static_cast<std::size_t>(decimals)];
            return negative ? -magnitude : magnitude;
        }
        const double magnitude = static_cast<double>(mantissa) / kPowers[decimals];
        return static_cast<float>(negative ? -magnitude : magnitude);
    }
};

// Reads a PlainNumber from `at`; returns where it stopped.
const char* ScanPlainNumber(const char* at, const char* end, PlainNumber& number) {
    if (at != end && *at == '-') {
        number.negative = true;
        ++at;
    }
    const char* whole = at;
    while (at != end && IsDigit(*at))
        number.mantissa = number.mantissa * 10 + static_cast<unsigned>(*at++ - '0');
    number.digits = at - whole;
    if (at != end && *at == '.') {
        const char* fraction = ++at;
        while (at != end && IsDigit(*at))
            number.mantissa = number.mantissa * 10 + static_cast<unsigned>(*at++ - '0');
        number.decimals = at - fraction;
        number.digits += number.decimals;
    }
    return at;
}

constexpr std::uint64_t kEachByte = 0x0101010101010101ull;

// The bytes [0, count) of a word; count at most 8. A table: the word reads
// are many, and a shift by 64 would need a branch.
constexpr std::uint64_t kLowBytes[] = {0,
                                       0xFFull,
                                       0xFFFFull,
                                       0xFFFFFFull,
                                       0xFFFFFFFFull,
                                       0xFFFFFFFFFFull,
                                       0xFFFFFFFFFFFFull,
                                       0xFFFFFFFFFFFFFFull,
                                       ~0ull};
constexpr std::uint64_t LowBytes(unsigned count) { return kLowBytes[count]; }

// ScanPlainNumber of a number of `length` bytes (at most 8) in `word`, with
// the sign `sign` (0 or 1) and its dot at byte `dot` (`length` without one)
// already found, and only digits besides: the same mantissa, digits and
// decimals, without a branch per byte, which a varying length mispredicts.
// Inlined on purpose: called once per value, and cheaper than its call.
[[gnu::always_inline]] inline bool ShortNumber(std::uint64_t word, unsigned length, unsigned sign,
                                               unsigned dot, PlainNumber& number) {
    const unsigned count = length - sign - (dot != length ? 1 : 0);
    if (count == 0) return false;
    const std::uint64_t values = word ^ (kEachByte * '0');
    // The digits side by side, the last one in the top byte, zeros before.
    std::uint64_t packed = (values & LowBytes(dot) & ~LowBytes(sign)) |
                           ((values >> 8) & LowBytes(length - 1) & ~LowBytes(dot));
    packed <<= 8 * (8 - sign - count);
    packed = packed * 10 + (packed >> 8);
    packed = (((packed & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
              (((packed >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
             32;
    number.mantissa = static_cast<std::uint32_t>(packed);
    number.digits = count;
    number.decimals = dot != length ? length - dot - 1 : 0;
    number.negative = sign != 0;
    return true;
}

// The value of a field's number characters, as the byte-wise scan below gives it.
float NumberValue(std::string_view text) {
    PlainNumber plain;
    if (ScanPlainNumber(text.data(), text.data() + text.size(), plain) ==
            text.data() + text.size() &&
        plain.Usable())
        return plain.Value();
    float value = 0.0f;
    if (!PlainRecord::ToFloat(text, value)) value = TextNumbers::AtofFloat(text);
    return value;
}

// Up to 64 bytes of a line and, per byte, what kind of character it is.
class Window {
public:
    static constexpr unsigned kSize = 64;

    // The line from `at` on; [at, readable) may be read whatever the line end.
    void Load(const char* at, const char* end, const char* readable) {
        m_size = static_cast<unsigned>(std::min<std::ptrdiff_t>(kSize, end - at));
        // A word is read at any position of the window.
        if (readable - at >= static_cast<std::ptrdiff_t>(kSize + 8)) {
            m_base = at;
        } else {
            std::memcpy(m_copy, at, m_size);
            std::memset(m_copy + m_size, 0, sizeof m_copy - m_size);
            m_base = m_copy;
        }
        Classify();
        const std::uint64_t inLine = m_size == kSize ? ~0ull : (1ull << m_size) - 1;
        m_commas &= inLine;
        m_numberChars &= inLine;
        m_nonIdentifier |= ~inLine;
    }

    unsigned Size() const { return m_size; }
    std::uint64_t Commas() const { return m_commas; }
    std::uint64_t NumberChars() const { return m_numberChars; }  // digits, '.', '-'
    std::uint64_t Dots() const { return m_dots; }
    std::uint64_t Minus() const { return m_minus; }
    std::uint64_t NonIdentifier() const { return m_nonIdentifier; }
    std::uint64_t Word(unsigned at) const {
        std::uint64_t word;
        std::memcpy(&word, m_base + at, sizeof word);
        return word;
    }

private:
    void Classify() {
        m_commas = m_numberChars = m_nonIdentifier = m_dots = m_minus = 0;
#if defined(__SSE2__)
        // Unrolled, the masks stay in registers; a line takes two windows.
#pragma GCC unroll 4
        for (unsigned i = 0; i < kSize; i += 16) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_base + i));
            const __m128i comma = _mm_cmpeq_epi8(b, _mm_set1_epi8(','));
            // Signed compares: bytes from 0x80 up are negative, so no digits.
            const __m128i digit = _mm_and_si128(_mm_cmpgt_epi8(b, _mm_set1_epi8('0' - 1)),
                                                _mm_cmpgt_epi8(_mm_set1_epi8('9' + 1), b));
            const __m128i dot = _mm_cmpeq_epi8(b, _mm_set1_epi8('.'));
            const __m128i minus = _mm_cmpeq_epi8(b, _mm_set1_epi8('-'));
            const __m128i number = _mm_or_si128(digit, _mm_or_si128(dot, minus));
            const __m128i blank = _mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8(' ')),
                                               _mm_cmpeq_epi8(b, _mm_set1_epi8('\t')));
            const auto bits = [](__m128i m) {
                return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(m)));
            };
            m_commas |= bits(comma) << i;
            m_numberChars |= bits(number) << i;
            m_dots |= bits(dot) << i;
            m_minus |= bits(minus) << i;
            m_nonIdentifier |= bits(_mm_or_si128(_mm_or_si128(comma, number), blank)) << i;
        }
#else
        for (unsigned i = 0; i < kSize; ++i) {
            const unsigned char kind =
                PlainRecord::kCharClasses[static_cast<unsigned char>(m_base[i])];
            const std::uint64_t bit = 1ull << i;
            if (kind == PlainRecord::kCommaChar) m_commas |= bit;
            if (kind == PlainRecord::kNumberChar) m_numberChars |= bit;
            if (m_base[i] == '.') m_dots |= bit;
            if (m_base[i] == '-') m_minus |= bit;
            if (kind != PlainRecord::kIdentifierChar) m_nonIdentifier |= bit;
        }
#endif
    }

    const char* m_base = nullptr;
    unsigned m_size = 0;  // the bytes that belong to the line
    std::uint64_t m_commas = 0;
    std::uint64_t m_numberChars = 0;
    std::uint64_t m_dots = 0;
    std::uint64_t m_minus = 0;
    std::uint64_t m_nonIdentifier = 0;
    char m_copy[kSize + 8];
};

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

// The next LF from `at`, or `end`. Lines are short: a call to memchr for
// each costs more than the search.
const char* FindLf(const char* at, const char* end) {
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    for (; end - at >= 16; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        if (const int found = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf)))
            return at + std::countr_zero(static_cast<unsigned>(found));
    }
#endif
    while (at != end && *at != '\n') ++at;
    return at;
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

// CListGraph::Convert for a measured series, from the copy beside the field.
inline float RecordDecoder::Convert(const Target& target, float raw) {
    if (raw == kMissingValue) return kMissingValue;
    if (target.beaufort) return static_cast<float>(CEinheitBerechnung().BeaufortNummer(raw));
    const float scaled = raw * target.factor;
    return scaled + target.offset;
}

RecordDecoder::RecordDecoder(const std::vector<std::unique_ptr<CListGraph>>& series,
                             CFormelParser& parser)
    : m_series(series), m_parser(parser) {
    for (const auto& one : m_series) m_hasVirtualSeries |= one->IsVirtual();
}

const std::vector<RecordDecoder::Target>& RecordDecoder::SeriesForField(
    std::size_t position, std::string_view identifier) {
    if (position >= kMaxFieldSlots) position = kMaxFieldSlots;  // garbage lines share one slot
    if (position >= m_fieldSlots.size()) m_fieldSlots.resize(position + 1);
    FieldSlot& slot = m_fieldSlots[position];
    if (slot.known && SameText(slot.identifier, identifier)) return slot.series;
    slot.known = true;
    slot.identifier = identifier;
    slot.packed = 0;
    slot.packedLength = kNotPacked;
    if (identifier.size() <= sizeof slot.packed) {
        std::memcpy(&slot.packed, identifier.data(), identifier.size());
        slot.packedLength = identifier.size();
    }
    slot.series.clear();
    for (const auto& series : m_series) {
        // A virtual sensor's stored value is recomputed from the line; taking
        // it as well would count the line twice in its mean and sum.
        if (!series->IsVirtual() && series->Identifier() == identifier) {
            const CSensoren& sensor = series->Definition();
            slot.series.push_back(
                {series.get(), sensor.m_factor, sensor.m_offset, sensor.m_beaufort});
        }
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
    std::optional<std::time_t> start;
    {
        // The C library guards its time-zone state inside mktime, out of the
        // sanitizer's sight; decoders on two threads take turns here, once per hour.
        static std::mutex timeZone;
        std::lock_guard lock(timeZone);
        start = RecordLine::TokensToTime(hour);
    }
    if (!start) return std::nullopt;
    const int year = RecordLine::FullYear(tokens.year);
    cache = {true,
             tokens.year,
             tokens.month,
             tokens.day,
             tokens.hour,
             *start,
             {year, DayOfYear(year, tokens.month, tokens.day), tokens.hour * 3600}};
    return *start + withinHour;
}

bool RecordDecoder::DecodeTime(std::string_view line, Line& decoded) {
    RecordLine::TimeTokens tokens;
    if (!PlainRecord::ScanTimeTokens(line, tokens)) tokens = RecordLine::ScanTimeTokens(line);
    const std::optional<std::time_t> time = ToTime(tokens);
    if (!time) return false;
    decoded.time = *time;
    decoded.wall = m_hourCache.wall;
    decoded.wall.secondOfDay += tokens.minute * 60 + tokens.second;
    decoded.fieldsStart = static_cast<std::uint32_t>(tokens.afterDate);
    return true;
}

void RecordDecoder::DecodeValues(std::string_view line, std::size_t fieldsStart,
                                 std::vector<Value>& values) {
    DecodeFields(line, fieldsStart, line.data() + line.size(), values);
}

std::size_t RecordDecoder::DecodeFields(std::string_view line, std::size_t fieldsStart,
                                        const char* readable, std::vector<Value>& values) {
    // The parser only serves the virtual series; without one it is left alone.
    if (m_hasVirtualSeries) m_parser.ClearVariables();
    std::size_t position = 0;
    // One field, its value converted only when a series or a formula uses it.
    const auto take = [&](std::string_view identifier, const auto& value) {
        if (m_hasVirtualSeries) {
            m_parser.AddVariable(identifier);
            m_parser.SetVariable(identifier, value());
        }
        const std::size_t slot = position++;
        const bool known = slot < m_fieldSlots.size() && m_fieldSlots[slot].known &&
                           SameText(m_fieldSlots[slot].identifier, identifier);
        for (const Target& target :
             known ? m_fieldSlots[slot].series : SeriesForField(slot, identifier))
            values.push_back({target.series, Convert(target, value())});
    };

    if (fieldsStart < line.size()) {
        const char* at = line.data() + fieldsStart;
        const char* const end = line.data() + line.size();
        // A window of the line at a time: its commas and kinds of characters
        // found at once, so that a field costs no branch per byte.
        Window window;
        while (at < end) {
            window.Load(at, end, readable);
            // Field by field from one comma to the next: each field's work
            // depends on the commas only, not on the field before.
            std::uint64_t commas = window.Commas();
            unsigned start = 0;
            while (commas != 0) {
                const auto comma = static_cast<unsigned>(std::countr_zero(commas));
                commas &= commas - 1;
                if (comma != start) {  // an empty field is no field
                    const auto numberStart = static_cast<unsigned>(
                        std::countr_zero(window.NonIdentifier() & (~0ull << start)));
                    const std::uint64_t number = ((1ull << comma) - 1) & (~0ull << numberStart);
                    if ((number & ~window.NumberChars()) != 0) {
                        const RecordLine::Field field =
                            RecordLine::SplitField(std::string_view(at + start, comma - start));
                        take(field.identifier, [&] { return field.value; });
                    } else {
                        // Only a field that feeds something needs its number.
                        const unsigned length = comma - numberStart;
                        const auto value = [&] {
                            PlainNumber plain;
                            // A sign only first, at most one dot.
                            const std::uint64_t first = 1ull << numberStart;
                            const std::uint64_t minus = window.Minus() & number;
                            const std::uint64_t dots = window.Dots() & number;
                            if (length <= 8 && (minus & ~first) == 0 && (dots & (dots - 1)) == 0) {
                                const unsigned dot =
                                    dots != 0 ? static_cast<unsigned>(std::countr_zero(dots)) -
                                                    numberStart
                                              : length;
                                if (ShortNumber(window.Word(numberStart), length,
                                                minus != 0 ? 1 : 0, dot, plain))
                                    return plain.Value();
                            }
                            return NumberValue(std::string_view(at + numberStart, length));
                        };
                        // The field where the last line had it: one word compared.
                        const unsigned identifierLength = numberStart - start;
                        const FieldSlot* const slot =
                            !m_hasVirtualSeries && position < m_fieldSlots.size()
                                ? &m_fieldSlots[position]
                                : nullptr;
                        if (slot && slot->known && identifierLength <= sizeof slot->packed &&
                            slot->packedLength == identifierLength &&
                            slot->packed == (window.Word(start) & LowBytes(identifierLength))) {
                            ++position;
                            if (!slot->series.empty()) {
                                const float raw = value();
                                for (const Target& target : slot->series)
                                    values.push_back({target.series, Convert(target, raw)});
                            }
                        } else {
                            take(std::string_view(at + start, identifierLength), value);
                        }
                    }
                }
                start = comma + 1;
            }
            // Text after the line's last comma is no field; a field longer
            // than the window goes the byte-wise way below.
            if (window.Size() < Window::kSize) {
                at = end;
                break;
            }
            if (start == 0) break;
            at += start;
        }
        while (at < end) {
            const char* const first = at;
            while (at != end && IsIdentifierChar(*at)) ++at;
            const char* const digits = at;
            // The stored form "TE-12.34," is read in this one pass; every
            // other field goes the general way, which gives the same for it.
            PlainNumber number;
            at = ScanPlainNumber(at, end, number);
            if (at != end && *at == ',' && number.Usable()) {
                take(std::string_view(first, static_cast<std::size_t>(digits - first)),
                     [&] { return number.Value(); });
                ++at;
                continue;
            }
            at = digits;
            while (at != end && PlainRecord::kCharClasses[static_cast<unsigned char>(*at)] ==
                                    PlainRecord::kNumberChar)
                ++at;
            if (at != end && *at == ',') {
                const std::string_view text(digits, static_cast<std::size_t>(at - digits));
                if (at != first) {
                    take(std::string_view(first, static_cast<std::size_t>(digits - first)), [&] {
                        float value = 0.0f;
                        if (!PlainRecord::ToFloat(text, value))
                            value = TextNumbers::AtofFloat(text);
                        return value;
                    });
                }
            } else {
                at = static_cast<const char*>(
                    std::memchr(at, ',', static_cast<std::size_t>(end - at)));
                if (at == nullptr) break;
                const RecordLine::Field field = RecordLine::SplitField(
                    std::string_view(first, static_cast<std::size_t>(at - first)));
                take(field.identifier, [&] { return field.value; });
            }
            ++at;
        }
    }
    if (m_hasVirtualSeries) {
        for (const auto& series : m_series) {
            if (series->IsVirtual())
                values.push_back(
                    {series.get(), EvaluateVirtualSensor(m_parser, series->Definition())});
        }
    }
    return position;
}

void RecordDecoder::DecodeBlock(std::string_view bytes, std::time_t valuesFrom, Block& block) {
    block.lines.clear();
    block.values.clear();
    const char* const data = bytes.data();
    const char* at = data;
    const char* const end = data + bytes.size();
    while (at < end) {
        const char* const lineEnd = FindLf(at, end);
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
            const std::size_t first = block.values.size();
            // A line without a field holds no record.
            if (DecodeFields(line, decoded.fieldsStart, end, block.values) == 0) {
                block.values.resize(first);
                continue;
            }
            decoded.decoded = true;
            decoded.firstValue = static_cast<std::uint32_t>(first);
            decoded.valueCount = static_cast<std::uint32_t>(block.values.size() - first);
        } else if (!HasField(line, decoded.fieldsStart)) {
            continue;
        }
        block.lines.push_back(decoded);
    }
}
