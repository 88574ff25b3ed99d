#pragma once

#include <ctime>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "comm/CFaden.h"
#include "storage/DataFiles.h"

class CWetterDoc;
class ClockDialog;

// What the initialisation window shows.
class InitView {
public:
    virtual ~InitView() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetStatus(const std::string& status) = 0;
    virtual void SetProgressRange(int maximum) = 0;
    virtual void SetProgress(int position) = 0;
    virtual void EnableCancel(bool enabled) = 0;
    // The initialisation has ended: close the window.
    virtual void Finished() = 0;
};

// Where the initialisation's commands go (the worker).
class CommandChannel {
public:
    virtual ~CommandChannel() = default;
    virtual void PostCommand(CommandRequest request) = 0;
    // The initialisation has ended: the worker may stop.
    virtual void Quit() = 0;
};

// Why an initialisation ended early; the numbers are the codes it reports.
enum class InitError {
    kNone = 0,
    kStorageInterval = 2,
    kLoggerQuery = 3,
    kClockNotSet = 6,
    kLoggerNotDeleted = 7,
    kClockRefused = 8,
    kPrecipitationReset = 9,
};

// The initialisation of a connection: waits for the station's first record
// line, learns the sensor labels, brings the station's clock, storage
// interval, precipitation reset and altitude into line with the settings, and
// reads the data logger since the last stored record. Driven by the worker's
// reports, timers and the user; every step's wait is a state, not a loop.
class InitSequence : public InitTarget {
public:
    // Timer numbers (per sequence).
    static constexpr int kLoggerSilenceTimer = 20;
    static constexpr int kStepTimer = 21;
    static constexpr int kReconnectTimer = 2679;

    InitSequence(CWetterDoc& document, InitView& view, CommandChannel& channel,
                 ClockDialog* clockDialog);
    ~InitSequence() override;

    // The start of the window: the last stored record, the reconnect timer, the caption.
    void Start();

    // Reports of the worker.
    bool OnDataLine(std::string line, int message) override;
    void OnReplyReceived() override;
    void OnNoReply() override;
    // A dropped call ends the initialisation at once; what was read is kept.
    void OnLinkLost() override;

    // "Cancel" or the close box: asks, and ends on Yes. False when the user said No.
    bool RequestCancel();

    bool Ended() const { return m_ended; }
    InitError Error() const { return m_error; }
    int ErrorCode() const { return static_cast<int>(m_error); }
    std::time_t StationTime() const { return m_stationTime; }
    bool AwaitingReply() const { return m_awaitingReply; }
    int ProgressRange() const { return m_progressRange; }
    int Progress() const { return m_progress; }

private:
    using Continuation = std::function<void(bool acknowledged)>;

    // The worker's answer to the command in progress: the step waiting for it goes on.
    void Reply(bool acknowledged, const char* text);
    void OnRecordLine(const std::string& line);
    void OnLoggerLine(std::string line);
    void OnLoggerSilence();
    void ProcessLoggerLines();

    void ReadLabels(const std::string& line);
    void ClockStep(const std::string& line);
    // Goes on to the storage interval, or ends with the clock step's error.
    void AfterClock(InitError outcome);
    void StorageIntervalStep();
    void PrecipitationResetStep();
    void AltitudeStep();
    void LoggerStep();

    // Sends when no reply is awaited; `then` runs with the outcome.
    bool SendCommand(const std::string& command, int replyMessage, Continuation then);
    // Runs `next` after `ms` milliseconds.
    void Wait(unsigned ms, std::function<void()> next);
    void Advance();
    void Fail(InitError error);
    void End();

    std::string StationFile() const;

    CWetterDoc& m_document;
    InitView& m_view;
    CommandChannel& m_channel;
    ClockDialog* m_clockDialog;

    bool m_awaitingReply = false;
    bool m_replyReceived = false;
    bool m_firstLineSeen = false;
    bool m_loggerStarted = false;
    bool m_loggerSilence = false;
    bool m_ended = false;
    InitError m_error = InitError::kNone;
    int m_clearCommands = 0;  // "!C" sent during the logger read
    std::time_t m_stationTime = 0;
    std::optional<DataFiles::LastRecord> m_lastRecord;
    int m_progressRange = 4;
    int m_progress = 0;
    std::deque<std::string> m_loggerLines;
    Continuation m_onReply;
};

// The messages of the error codes.
const char* InitErrorMessage(InitError error);
