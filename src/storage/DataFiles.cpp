#include "storage/DataFiles.h"

#include <cerrno>
#include <cstdio>

#include "model/TextNumbers.h"
#include "platform/Clock.h"
#include "storage/RecordLine.h"

namespace {

std::string TwoDigits(int number) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", number);
    return buffer;
}

std::string NameOf(const std::string& folder, int month, std::string_view year,
                   std::string_view suffix) {
    std::string name = folder;
    name += '/';
    name += TwoDigits(month);
    name += '_';
    name += year;
    name += suffix;
    return name;
}

// A line this program writes always ends with "," before its line end, and
// starts with a time the record rules accept.
std::optional<std::time_t> CompleteRecordTime(std::string_view content) {
    if (content.empty() || content.back() != ',') return std::nullopt;
    return RecordLine::TokensToTime(RecordLine::ScanTimeTokens(content));
}

}  // namespace

std::string DataFiles::FileName(const std::string& folder, int month, int year,
                                std::string_view suffix) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", year);
    return NameOf(folder, month, digits, suffix);
}

std::string DataFiles::TwoDigitYearFileName(const std::string& folder, int month, int year,
                                            std::string_view suffix) {
    return NameOf(folder, month, TwoDigits(year % 100), suffix);
}

std::string DataFiles::MonthFileName(const std::string& folder, std::time_t time,
                                     std::string_view suffix) {
    const std::tm fields = LocalTime(time);
    return FileName(folder, fields.tm_mon + 1, fields.tm_year + 1900, suffix);
}

void DataFiles::AppendField(std::string& line, std::string_view identifier, float value,
                            int decimals) {
    line += identifier;
    line += TextNumbers::FormatFixed(value, decimals);
    line += ',';
}

std::string DataFiles::GapLine(std::time_t time, std::string_view gapFields) {
    std::string line = RecordLine::TimePrefix(time);
    line += gapFields;
    line += "\r\n";
    return line;
}

std::string DataFiles::TextModeBytes(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + 2);
    for (const char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return bytes;
}

DataFiles::Gap DataFiles::FillGap(const std::string& folder, std::string_view suffix,
                                  std::time_t last, std::time_t next, int interval,
                                  std::string_view gapFields, bool sync) {
    Gap gap;
    if (next < last) {
        gap.result = FileStore::Result{EINVAL};
        return gap;
    }
    std::tm month = LocalTime(last);
    gap.path = FileName(folder, month.tm_mon + 1, month.tm_year + 1900, suffix);
    // An interval of 0 would never reach `next`.
    if (interval <= 0) return gap;
    while (next - last > interval) {
        last += interval;
        const std::tm fields = LocalTime(last);
        if (fields.tm_mon != month.tm_mon || fields.tm_year != month.tm_year) {
            if (!gap.pending.empty()) {
                const FileStore::AppendResult written = AppendLines(gap.path, gap.pending, sync);
                if (!written.written) {
                    gap.result = FileStore::Result{written.error};
                    return gap;
                }
                gap.pending.clear();
            }
            month = fields;
            gap.path = FileName(folder, month.tm_mon + 1, month.tm_year + 1900, suffix);
        }
        // The first interval of a new month gets its gap line too, in the new month's file.
        gap.pending += GapLine(last, gapFields);
    }
    return gap;
}

FileStore::AppendResult DataFiles::AppendLines(const std::string& path, std::string_view lines,
                                               bool sync) {
    std::string tail;
    if (m_files.ReadTail(path, 1, tail) && !tail.empty() && tail.back() != '\n') {
        // A torn line: a lone CR only lacks its LF; anything else gets a whole line end.
        std::string bytes = tail.back() == '\r' ? "\n" : "\r\n";
        bytes += lines;
        return m_files.Append(path, bytes, sync);
    }
    return m_files.Append(path, lines, sync);
}

std::optional<DataFiles::TailLine> DataFiles::LastCompleteLine(std::string_view tail,
                                                               bool wholeFile, bool& needMore) {
    needMore = false;
    std::size_t end = tail.rfind('\n');
    if (end == std::string_view::npos) {
        needMore = !wholeFile;
        return std::nullopt;
    }
    // `end` is the LF that ends the line looked at.
    for (;;) {
        const std::size_t previous = end == 0 ? std::string_view::npos : tail.rfind('\n', end - 1);
        if (previous == std::string_view::npos && !wholeFile) {
            needMore = true;
            return std::nullopt;
        }
        const std::size_t start = previous == std::string_view::npos ? 0 : previous + 1;
        std::string_view content = tail.substr(start, end - start);
        while (!content.empty() && content.back() == '\r') content.remove_suffix(1);
        if (const auto time = CompleteRecordTime(content))
            return TailLine{*time, std::string(content)};
        if (previous == std::string_view::npos) return std::nullopt;
        end = previous;
    }
}

std::optional<DataFiles::TailLine> DataFiles::LastLineOfFile(const std::string& path) {
    for (std::uint64_t want = kTailBuffer;; want *= 2) {
        std::string tail;
        if (!m_files.ReadTail(path, want, tail)) return std::nullopt;
        const bool wholeFile = tail.size() < want;
        bool needMore = false;
        auto line = LastCompleteLine(tail, wholeFile, needMore);
        if (line || !needMore) return line;
    }
}

namespace {
// The month file names from the month of `now` back to 1990, four-digit year before two-digit
// one, until `take` accepts one.
template <class Take>
bool WalkMonthFiles(const std::string& folder, std::string_view suffix, std::time_t now,
                    Take&& take) {
    const std::tm start = LocalTime(now);
    int month = start.tm_mon + 1;
    int year = start.tm_year + 1900;
    for (;;) {
        for (const std::string& path :
             {DataFiles::FileName(folder, month, year, suffix),
              DataFiles::TwoDigitYearFileName(folder, month, year, suffix)})
            if (take(path)) return true;
        if (year <= 1990) return false;
        if (--month == 0) {
            month = 12;
            --year;
        }
    }
}
}  // namespace

std::optional<DataFiles::LastRecord> DataFiles::FindLastRecord(const std::string& folder,
                                                               std::string_view suffix,
                                                               std::time_t now) {
    std::optional<LastRecord> found;
    WalkMonthFiles(folder, suffix, now, [&](const std::string& path) {
        if (auto line = LastLineOfFile(path))
            found = LastRecord{line->time, std::move(line->line), path};
        return found.has_value();
    });
    return found;
}

std::optional<std::string> DataFiles::NewestFile(const std::string& folder, std::string_view suffix,
                                                 std::time_t now) {
    std::optional<std::string> found;
    WalkMonthFiles(folder, suffix, now, [&](const std::string& path) {
        if (m_files.Exists(path)) found = path;
        return found.has_value();
    });
    return found;
}
