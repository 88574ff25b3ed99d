#include "storage/CEinlesen.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/FileStore.h"
#include "platform/FileSystem.h"
#include "storage/BlockReader.h"
#include "storage/DecodeAhead.h"
#include "storage/ReaderView.h"
#include "storage/SensorSet.h"

namespace {

constexpr const char* kCouldNotOpen = "could not be opened!";
constexpr const char* kReadingAborted = "Reading aborted!";
constexpr const char* kNoDataExist = "No data exist!";
constexpr std::uint32_t kFileErrorColour = Rgb(0x97, 0x2F, 0x31);

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

bool IsLeapYear(int year) { return year % 4 == 0; }

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

std::optional<std::int32_t> CEinlesen::ActivitySecondsOnDay(std::string_view identifier,
                                                            int day) const {
    std::optional<std::int32_t> seconds;
    for (const auto& series : m_series)
        if (series->Identifier() == identifier && LocalTime(series->LastTime()).tm_mday == day)
            seconds = series->Statistics().ActivitySeconds;
    return seconds;
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
    if (keep) {
        for (const auto& series : m_series) series->ResetForRead();
    } else {
        BuildSeries(identifiers);
    }

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

CEinlesen::LineResult CEinlesen::TakeLine(const RecordDecoder::Line& line,
                                          const RecordDecoder::Value* values, std::size_t count,
                                          bool firstLine, const std::shared_ptr<Session>& session) {
    for (std::size_t i = 0; i < count; ++i)
        values[i].series->TakeValue(values[i].value, line.time, m_dataMode);

    if (firstLine) {
        m_intervalStart = m_intervalEnd = line.time;
        m_intervalStartWall = line.wall;
    } else {
        m_intervalEnd = line.time;
        if (SecondsBetween(m_intervalStartWall, line.wall) >=
            static_cast<std::int64_t>(m_intervalLength)) {
            for (const auto& series : m_series)
                series->CloseInterval(m_intervalStart, m_intervalEnd);
            const int progress = ++m_progressCount;
            m_sources.events.Post([this, session, progress] {
                if (!session->cancelled && m_view) m_view->OnReadProgress(progress);
            });
            m_intervalStart = m_intervalEnd;
            m_intervalStartWall = line.wall;
        }
    }
    if (line.time > m_periodEnd || line.time == m_newestRecordTime) return LineResult::kComplete;
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

CEinlesen::FileEnd CEinlesen::ReadFile(FileStore::Reader& file, DecodeAhead& decoding,
                                       RecordDecoder& decoder, bool& started, int& error,
                                       const std::stop_token& stop,
                                       const std::shared_ptr<Session>& session) {
    BlockReader reader(file);
    FileEnd end = FileEnd::kNextFile;
    std::vector<RecordDecoder::Value> late;
    const auto take = [&](const RecordDecoder::Block& block, std::string_view bytes) {
        for (const RecordDecoder::Line& line : block.lines) {
            const RecordDecoder::Value* values = block.values.data() + line.firstValue;
            std::size_t count = line.valueCount;
            if (!started) {
                // For the first file that opens: lines before the period start are skipped.
                if (line.time < m_periodStart) continue;
                started = true;
                if (line.time >= m_newestRecordTime) {
                    end = FileEnd::kNoData;
                    return false;
                }
                if (TakeLine(line, values, count, true, session) == LineResult::kComplete) {
                    end = FileEnd::kNothingRead;
                    return false;
                }
                continue;
            }
            if (!line.decoded) {
                // An older record after the first one taken: rare enough to decode here.
                late.clear();
                decoder.DecodeValues(bytes.substr(line.offset, line.length), line.fieldsStart,
                                     late);
                values = late.data();
                count = late.size();
            }
            if (TakeLine(line, values, count, false, session) == LineResult::kComplete) {
                end = FileEnd::kComplete;
                return false;
            }
        }
        return true;
    };
    switch (decoding.Run(reader, stop, take)) {
        case DecodeAhead::Result::kEnd:
            return FileEnd::kNextFile;
        case DecodeAhead::Result::kEndedByCaller:
            return end;
        case DecodeAhead::Result::kError:
            error = reader.Error();
            return FileEnd::kError;
        case DecodeAhead::Result::kStopped:
            break;
    }
    return FileEnd::kStopped;
}

void CEinlesen::ReadPeriod(std::stop_token stop, std::shared_ptr<Session> session) {
    const std::tm first = LocalTime(m_periodStart);
    const std::tm last = LocalTime(m_periodEnd);
    const int lastMonthIndex = (last.tm_year + 1900) * 12 + last.tm_mon;
    bool anyFileOpened = false;
    bool started = false;
    // Decoding is most of the work; a second core decodes every other block.
    RecordDecoder decoder(m_series, m_parser);
    CFormelParser helperParser;
    std::unique_ptr<RecordDecoder> helper;
    if (std::thread::hardware_concurrency() > 1)
        helper = std::make_unique<RecordDecoder>(m_series, helperParser);
    DecodeAhead decoding(decoder, helper.get(), m_periodStart);

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

        int error = 0;
        switch (ReadFile(*file, decoding, decoder, started, error, stop, session)) {
            case FileEnd::kNextFile:
                continue;
            case FileEnd::kStopped:
                return;
            case FileEnd::kError: {
                const std::string text = FileSystem::SystemErrorText(error);
                file.reset();
                Tell(session, text, MsgIcon::Error);
                OutputWrite("global ReadDaten", kFileErrorColour);
                OutputWrite(text + " <==> NR: " + std::to_string(error), kFileErrorColour);
                FinishAndPostCompletion(session);
                return;
            }
            case FileEnd::kNoData:
                NoData(stop, session);
                return;
            case FileEnd::kNothingRead:
                PostNothingRead(session, true);
                return;
            case FileEnd::kComplete:
                FinishAndPostCompletion(session);
                return;
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
