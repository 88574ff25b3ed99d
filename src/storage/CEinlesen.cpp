#include "storage/CEinlesen.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "calc/VirtualSensors.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "model/TextNumbers.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/FileStore.h"
#include "platform/FileSystem.h"
#include "storage/PlainRecord.h"
#include "storage/ReaderView.h"
#include "storage/RecordLine.h"
#include "storage/SensorSet.h"

namespace {

constexpr const char* kCouldNotOpen = "could not be opened!";
constexpr const char* kReadingAborted = "Reading aborted!";
constexpr const char* kNoDataExist = "No data exist!";
constexpr std::uint32_t kFileErrorColour = Rgb(0x97, 0x2F, 0x31);

// No record comes near this; a longer line is garbage and is skipped without
// holding more of it in memory.
constexpr std::size_t kMaxLineLength = 1 << 20;
constexpr std::size_t kReadChunk = 1 << 16;

// Reads a file line by line through a fixed buffer; lines longer than the
// buffer are collected whole. Errors are errno values.
class LineReader {
public:
    enum class Result { kLine, kEnd, kError, kStopped };

    explicit LineReader(FileStore::Reader& file) : m_file(file), m_buffer(kReadChunk) {}

    // The next line without its LF; the last line may lack one. A stop is
    // seen between reads, also inside a line that never ends.
    Result Next(std::string_view& line, const std::stop_token& stop) {
        for (;;) {
            const char* begin = m_buffer.data() + m_begin;
            const char* end = m_buffer.data() + m_end;
            if (const void* lf = std::memchr(begin, '\n', static_cast<std::size_t>(end - begin))) {
                const char* at = static_cast<const char*>(lf);
                m_begin = static_cast<std::size_t>(at - m_buffer.data()) + 1;
                if (m_long.empty() && !m_skipping) {
                    line = std::string_view(begin, static_cast<std::size_t>(at - begin));
                    return Result::kLine;
                }
                const bool skipped = m_skipping;
                Collect(begin, at);
                m_skipping = false;
                if (skipped) {
                    m_long.clear();
                    continue;
                }
                m_line.swap(m_long);
                m_long.clear();
                line = m_line;
                return Result::kLine;
            }
            Collect(begin, end);
            m_begin = m_end = 0;
            if (m_eof) {
                if (m_long.empty() || m_skipping) return Result::kEnd;
                m_line.swap(m_long);
                m_long.clear();
                line = m_line;
                return Result::kLine;
            }
            if (stop.stop_requested()) return Result::kStopped;
            const long got = m_file.Read(m_buffer.data(), m_buffer.size());
            if (got < 0) {
                m_error = static_cast<int>(-got);
                return Result::kError;
            }
            if (got == 0) m_eof = true;
            m_end = static_cast<std::size_t>(got);
        }
    }

    int Error() const { return m_error; }

private:
    void Collect(const char* begin, const char* end) {
        if (m_skipping) return;
        m_long.append(begin, end);
        if (m_long.size() > kMaxLineLength) {
            m_long.clear();
            m_skipping = true;
        }
    }

    FileStore::Reader& m_file;
    std::vector<char> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    std::string m_long;  // a line that did not fit the buffer, collected so far
    std::string m_line;
    bool m_skipping = false;
    bool m_eof = false;
    int m_error = 0;
};

std::string MonthFileName(const std::string& folder, int month, int year, bool twoDigitYear,
                          const std::string& extension) {
    char name[32];
    if (twoDigitYear)
        std::snprintf(name, sizeof name, "/%02d_%02d", month,
                      year < 2000 ? year - 1900 : year - 2000);
    else
        std::snprintf(name, sizeof name, "/%02d_%d", month, year);
    return folder + name + extension;
}

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

// More fields than any station sends; the positions beyond share one slot.
constexpr std::size_t kMaxFieldSlots = 256;

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

int DayOfYear(int year, int month, int day) {
    static constexpr int kDaysBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int days = kDaysBefore[month - 1] + day - 1;
    if (month > 2 && IsLeapYear(year)) ++days;
    return days;
}

}  // namespace

struct CEinlesen::Session {
    // Set on the user-interface thread when the read is cancelled; every call
    // the worker posted checks it there before it touches the reader.
    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    std::condition_variable_any answered;
    std::optional<MsgAnswer> answer;
};

CEinlesen::CEinlesen(Sources sources, ReaderView* view)
    : m_sources(std::move(sources)), m_view(view) {}

CEinlesen::~CEinlesen() { StopReading(); }

CListGraph* CEinlesen::FindSeries(std::string_view identifier) const {
    for (const auto& series : m_series)
        if (series->Identifier() == identifier) return series.get();
    return nullptr;
}

void CEinlesen::BuildSeries(const std::vector<std::string>& identifiers) {
    m_series.clear();
    m_parser.ClearVariables();
    for (const std::string& identifier : identifiers) {
        if (const CSensoren* sensor = m_sources.sensors.FindSensor(identifier))
            m_series.push_back(std::make_unique<CListGraph>(*sensor));
    }
}

void CEinlesen::StartReading(const std::string& dataFolder, std::time_t periodStart,
                             std::time_t periodEnd, unsigned periodLengthSeconds, int dataMode,
                             const std::vector<std::string>& identifiers,
                             std::time_t newestRecordTime, bool keep) {
    StopReading();
    m_dataFolder = dataFolder;
    m_extension = m_sources.extension;
    m_periodStart = periodStart;
    m_periodEnd = periodEnd;
    m_dataMode = dataMode;
    m_newestRecordTime = newestRecordTime;
    m_keep = keep;
    // A period shorter than 366 s would give intervals of 0 s, closed by every
    // line, even by lines of the same second: the points would grow with the file.
    m_intervalLength = std::max(1u, periodLengthSeconds / 366);
    m_progressCount = 0;
    m_hourCache = {};
    m_fieldSlots.clear();
    if (keep) {
        for (const auto& series : m_series) series->ResetForRead();
    } else {
        BuildSeries(identifiers);
    }
    m_hasVirtualSeries = false;
    for (const auto& series : m_series) m_hasVirtualSeries |= series->IsVirtual();

    m_session = std::make_shared<Session>();
    m_reading = true;
    m_worker = std::jthread([this, session = m_session](std::stop_token stop) {
        ReadPeriod(std::move(stop), session);
    });
}

void CEinlesen::StopReading() {
    if (m_session) m_session->cancelled = true;
    if (m_worker.joinable()) {
        m_worker.request_stop();
        m_worker.join();
    }
    m_session.reset();
    m_reading = false;
}

void CEinlesen::EndRead() {
    if (m_worker.joinable()) m_worker.join();
    m_session.reset();
    m_reading = false;
}

void CEinlesen::CompleteReading() {
    EndRead();
    for (const auto& series : m_series) series->MergeNewPoints();
    m_progressCount = 0;
    if (m_view) m_view->OnReadFinished(m_keep);
}

std::int64_t CEinlesen::SecondsBetween(const WallTime& from, const WallTime& to) {
    std::int64_t days = 0;
    for (int year = from.year; year < to.year; ++year) days += IsLeapYear(year) ? 366 : 365;
    for (int year = to.year; year < from.year; ++year) days -= IsLeapYear(year) ? 366 : 365;
    days += to.dayOfYear - from.dayOfYear;
    return days * 86400 + (to.secondOfDay - from.secondOfDay);
}

const std::vector<CListGraph*>& CEinlesen::SeriesForField(std::size_t position,
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

std::optional<std::time_t> CEinlesen::ToTime(const RecordLine::TimeTokens& tokens) {
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

std::optional<CEinlesen::LineTime> CEinlesen::ParseLineTime(std::string_view line) {
    RecordLine::TimeTokens tokens;
    if (!PlainRecord::ScanTimeTokens(line, tokens)) tokens = RecordLine::ScanTimeTokens(line);
    const std::optional<std::time_t> time = ToTime(tokens);
    if (!time || !HasField(line, tokens.afterDate)) return std::nullopt;
    LineTime result;
    result.time = *time;
    result.wall.year = RecordLine::FullYear(tokens.year);
    result.wall.dayOfYear = DayOfYear(result.wall.year, tokens.month, tokens.day);
    result.wall.secondOfDay = tokens.hour * 3600 + tokens.minute * 60 + tokens.second;
    result.fieldsStart = tokens.afterDate;
    return result;
}

CEinlesen::LineResult CEinlesen::ProcessLine(std::string_view line, const LineTime& time,
                                             bool firstLine,
                                             const std::shared_ptr<Session>& session) {
    // The parser only serves the virtual series; without one it is left alone.
    if (m_hasVirtualSeries) m_parser.ClearVariables();
    std::size_t position = 0;
    PlainRecord::ForEachField(line, time.fieldsStart, [&](const PlainRecord::FieldParts& parts) {
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
            series->TakeValue(series->Convert(value()), time.time, m_dataMode);
    });
    if (m_hasVirtualSeries) {
        for (const auto& series : m_series) {
            if (!series->IsVirtual()) continue;
            series->TakeValue(EvaluateVirtualSensor(m_parser, series->Definition()), time.time,
                              m_dataMode);
        }
    }

    if (firstLine) {
        m_intervalStart = m_intervalEnd = time.time;
        m_intervalStartWall = time.wall;
    } else {
        m_intervalEnd = time.time;
        if (SecondsBetween(m_intervalStartWall, time.wall) >=
            static_cast<std::int64_t>(m_intervalLength)) {
            for (const auto& series : m_series)
                series->CloseInterval(m_intervalStart, m_intervalEnd);
            const int count = ++m_progressCount;
            m_sources.events.Post([this, session, count] {
                if (!session->cancelled && m_view) m_view->OnReadProgress(count);
            });
            m_intervalStart = m_intervalEnd;
            m_intervalStartWall = time.wall;
        }
    }
    if (time.time > m_periodEnd || time.time == m_newestRecordTime) return LineResult::kComplete;
    return LineResult::kTaken;
}

std::optional<MsgAnswer> CEinlesen::Ask(const std::stop_token& stop,
                                        const std::shared_ptr<Session>& session, std::string text,
                                        MsgButtons buttons, MsgIcon icon) {
    {
        std::lock_guard lock(session->mutex);
        session->answer.reset();
    }
    Ui& ui = m_sources.ui;
    m_sources.events.Post(
        [session, &ui, caption = m_sources.caption, text = std::move(text), buttons, icon] {
            MsgAnswer answer = MsgAnswer::Cancel;
            if (!session->cancelled) answer = ui.MessageBox(text, caption, buttons, icon);
            {
                std::lock_guard lock(session->mutex);
                session->answer = answer;
            }
            session->answered.notify_all();
        });
    std::unique_lock lock(session->mutex);
    if (!session->answered.wait(lock, stop, [&] { return session->answer.has_value(); }))
        return std::nullopt;
    return session->answer;
}

void CEinlesen::Tell(const std::shared_ptr<Session>& session, std::string text, MsgIcon icon) {
    Ui& ui = m_sources.ui;
    m_sources.events.Post(
        [session, &ui, caption = m_sources.caption, text = std::move(text), icon] {
            if (!session->cancelled) ui.MessageBox(text, caption, MsgButtons::Ok, icon);
        });
}

void CEinlesen::PostNothingRead(const std::shared_ptr<Session>& session, bool clearPoints) {
    m_sources.events.Post([this, session, clearPoints] {
        if (session->cancelled) return;
        EndRead();
        if (clearPoints) {
            for (const auto& series : m_series) series->ClearPoints();
        }
        m_progressCount = 0;
        if (m_view) m_view->OnNothingRead();
    });
}

void CEinlesen::FinishAndPostCompletion(const std::shared_ptr<Session>& session) {
    for (const auto& series : m_series) series->FinishRead();
    m_sources.events.Post([this, session] {
        if (!session->cancelled) CompleteReading();
    });
}

void CEinlesen::NoData(const std::stop_token& stop, const std::shared_ptr<Session>& session) {
    const std::optional<MsgAnswer> answer =
        Ask(stop, session, kNoDataExist, MsgButtons::OkCancel, MsgIcon::Information);
    if (!answer) return;
    // Cancel keeps what the view shows, but the view still has to leave its
    // reading state, or its progress bar would stay for good.
    PostNothingRead(session, *answer != MsgAnswer::Cancel);
}

void CEinlesen::ReadPeriod(std::stop_token stop, std::shared_ptr<Session> session) {
    const std::tm first = LocalTime(m_periodStart);
    const std::tm last = LocalTime(m_periodEnd);
    const int lastMonthIndex = (last.tm_year + 1900) * 12 + last.tm_mon;
    bool anyFileOpened = false;
    bool started = false;

    for (int monthIndex = (first.tm_year + 1900) * 12 + first.tm_mon; monthIndex <= lastMonthIndex;
         ++monthIndex) {
        const int year = monthIndex / 12;
        const int month = monthIndex % 12 + 1;
        std::unique_ptr<FileStore::Reader> file;
        for (;;) {
            if (stop.stop_requested()) return;
            int error = 0;
            file = m_sources.files.OpenForReading(
                MonthFileName(m_dataFolder, month, year, true, m_extension), error);
            if (file) break;
            const std::string fullName =
                MonthFileName(m_dataFolder, month, year, false, m_extension);
            file = m_sources.files.OpenForReading(fullName, error);
            if (file) break;
            const std::optional<MsgAnswer> answer =
                Ask(stop, session, fullName + " " + kCouldNotOpen, MsgButtons::AbortRetryIgnore,
                    MsgIcon::Warning);
            if (!answer) return;
            if (*answer == MsgAnswer::Retry) continue;
            if (*answer == MsgAnswer::Abort) {
                Tell(session, kReadingAborted, MsgIcon::Information);
                FinishAndPostCompletion(session);
                return;
            }
            break;  // Ignore: the month is skipped
        }
        if (!file) continue;
        anyFileOpened = true;

        LineReader reader(*file);
        for (;;) {
            if (stop.stop_requested()) return;
            std::string_view line;
            const LineReader::Result result = reader.Next(line, stop);
            if (result == LineReader::Result::kStopped) return;
            if (result == LineReader::Result::kEnd) break;
            if (result == LineReader::Result::kError) {
                const int error = reader.Error();
                const std::string text = FileSystem::SystemErrorText(error);
                file.reset();
                Tell(session, text, MsgIcon::Error);
                OutputWrite("global ReadDaten", kFileErrorColour);
                OutputWrite(text + " <==> NR: " + std::to_string(error), kFileErrorColour);
                FinishAndPostCompletion(session);
                return;
            }
            // An empty line is what a crash or a hand edit leaves; it ends
            // nothing, so the rest of the period is still read.
            line = TrimLine(line);
            if (line.empty()) continue;
            const std::optional<LineTime> time = ParseLineTime(line);
            if (!time) continue;
            if (!started) {
                if (time->time < m_periodStart) continue;
                started = true;
                if (time->time >= m_newestRecordTime) {
                    NoData(stop, session);
                    return;
                }
                if (ProcessLine(line, *time, true, session) == LineResult::kComplete) {
                    PostNothingRead(session, true);
                    return;
                }
                continue;
            }
            if (ProcessLine(line, *time, false, session) == LineResult::kComplete) {
                FinishAndPostCompletion(session);
                return;
            }
        }
    }
    // A month that ends before the period starts leaves the search to the
    // next month; only a period without any record has no data.
    if (anyFileOpened && !started) {
        NoData(stop, session);
        return;
    }
    FinishAndPostCompletion(session);
}
