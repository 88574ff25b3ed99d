#pragma once

// CEinlesen ("reading in") is the data-file reader.

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "calc/CFormelParser.h"
#include "platform/FileStore.h"
#include "platform/Ui.h"
#include "storage/CListGraph.h"
#include "storage/RecordDecoder.h"

class DecodeAhead;
class EventQueue;
class ReaderView;
class SensorSet;

// Reads a period back from the monthly data files on a worker thread and
// fills one series per selected sensor: about 366 aggregated points with the
// interval each stands for, and the series' statistics.
//
// Threads: every public method is for the user-interface thread. The worker
// reads the files and fills only the working side of the series (new points,
// running statistics); it asks questions and reports progress by posting to
// the event queue and waiting for the answer. The displayed side is changed
// only on the user-interface thread, when the posted completion runs
// (CompleteReading), so a view may draw the displayed points while a read runs.
// Cancelling (StopReading, a new StartReading, the destructor) stops and joins
// the worker, also while it waits for an answer, and turns every call it
// posted into a no-op.
class CEinlesen {
public:
    // What a read works with, held by the station document, which outlives the reader.
    struct Sources {
        const SensorSet& sensors;
        EventQueue& events;
        Ui& ui;
        FileStore& files;
        // The data-file extension, read again at every start.
        const std::string& extension;
        // The caption of the message boxes.
        std::string caption;
    };

    // The view is not owned and may be changed with SetView.
    CEinlesen(Sources sources, ReaderView* view);
    ~CEinlesen();
    CEinlesen(const CEinlesen&) = delete;
    CEinlesen& operator=(const CEinlesen&) = delete;

    void SetView(ReaderView* view) { m_view = view; }

    // Starts reading [periodStart, periodEnd] from `dataFolder`, with
    // intervals of periodLengthSeconds / 366. `dataMode` is a
    // CListGraph::DataMode. Reading stops at the record at `newestRecordTime`.
    // With `keep` the series stay (their displayed points too, until the read
    // replaces them) and only their statistics start afresh; otherwise they
    // are built anew from `identifiers`. A read still running is cancelled.
    void StartReading(const std::string& dataFolder, std::time_t periodStart, std::time_t periodEnd,
                      unsigned periodLengthSeconds, int dataMode,
                      const std::vector<std::string>& identifiers, std::time_t newestRecordTime,
                      bool keep);
    // One series per identifier that names a sensor of the document, in that
    // order; other identifiers are skipped. Not while reading.
    void BuildSeries(const std::vector<std::string>& identifiers);
    // Cancels a running read: the view hears nothing more of it.
    void StopReading();
    bool IsReading() const { return m_reading; }

    const std::vector<std::unique_ptr<CListGraph>>& Series() const { return m_series; }
    CListGraph* FindSeries(std::string_view identifier) const;
    // The shown activity total of the last series of `identifier` whose last
    // value lies on the day of the month `day`; nothing when there is none.
    std::optional<std::int32_t> ActivitySecondsOnDay(std::string_view identifier, int day) const;

private:
    struct Session;
    using WallTime = RecordDecoder::WallTime;
    enum class LineResult { kTaken, kComplete };
    enum class FileEnd { kNextFile, kComplete, kNothingRead, kNoData, kError, kStopped };

    // Whole days between the years (366 for a year divisible by 4, else 365)
    // plus the days and seconds within them: wall-clock seconds.
    static std::int64_t SecondsBetween(const WallTime& from, const WallTime& to);

    // Worker thread.
    void ReadPeriod(std::stop_token stop, std::shared_ptr<Session> session);
    // Takes the lines of one month file in order; `error` is set with kError.
    FileEnd ReadFile(FileStore::Reader& file, DecodeAhead& decoding, RecordDecoder& decoder,
                     bool& started, int& error, const std::stop_token& stop,
                     const std::shared_ptr<Session>& session);
    LineResult TakeLine(const RecordDecoder::Line& line, const RecordDecoder::Value* values,
                        std::size_t count, bool firstLine, const std::shared_ptr<Session>& session);
    std::optional<MsgAnswer> Ask(const std::stop_token& stop,
                                 const std::shared_ptr<Session>& session, std::string text,
                                 MsgButtons buttons, MsgIcon icon);
    void Tell(const std::shared_ptr<Session>& session, std::string text, MsgIcon icon);
    void NoData(const std::stop_token& stop, const std::shared_ptr<Session>& session);
    void FinishAndPostCompletion(const std::shared_ptr<Session>& session);
    void PostNothingRead(const std::shared_ptr<Session>& session, bool clearPoints);

    // User-interface thread.
    void CompleteReading();
    void EndRead();

    Sources m_sources;
    ReaderView* m_view;
    std::jthread m_worker;
    std::shared_ptr<Session> m_session;
    bool m_reading = false;

    std::vector<std::unique_ptr<CListGraph>> m_series;
    std::string m_dataFolder;
    std::string m_extension;
    std::time_t m_periodStart = 0;
    std::time_t m_periodEnd = 0;
    std::time_t m_intervalStart = 0;
    std::time_t m_intervalEnd = 0;
    WallTime m_intervalStartWall;
    std::time_t m_newestRecordTime = 0;
    int m_dataMode = CListGraph::kMean;
    unsigned m_intervalLength = 0;
    int m_progressCount = 0;
    bool m_keep = false;
    CFormelParser m_parser;
};
