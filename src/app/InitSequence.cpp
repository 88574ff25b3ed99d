#include "app/InitSequence.h"

#include <utility>

#include "app/CWetterDoc.h"
#include "app/ClockSync.h"
#include "comm/ProcessValues.h"
#include "comm/StationProtocol.h"
#include "model/OutputList.h"
#include "model/StationSettings.h"
#include "model/TextNumbers.h"
#include "platform/Clock.h"
#include "platform/Profile.h"
#include "platform/Timers.h"
#include "platform/Ui.h"

using namespace StationProtocol;
using TextNumbers::ToUpper;

namespace {

constexpr std::uint32_t kPlain = 0;
constexpr const char* kCancelQuestion =
    "This end initialisation procedure!\nYou may lose some data.\n\nAre you shure you want to "
    "cancel?";

}  // namespace

const char* InitErrorMessage(InitError error) {
    switch (error) {
        case InitError::kStorageInterval:
            return "Error setting the storage interval!";
        case InitError::kLoggerQuery:
            return "Error !\nWeatherstation could not understand query of datalogger.";
        case InitError::kClockNotSet:
            return "Error!\n Failure setting the clock.";
        case InitError::kLoggerNotDeleted:
            return "Error!\n Failure deleting the datalogger.";
        case InitError::kClockRefused:
            return "Clock was not set!";
        case InitError::kPrecipitationReset:
            return "Error setting the reset for precipitation!";
        case InitError::kNone:
            break;
    }
    return "";
}

InitSequence::InitSequence(CWetterDoc& document, InitView& view, CommandChannel& channel,
                           ClockDialog* clockDialog)
    : m_document(document), m_view(view), m_channel(channel), m_clockDialog(clockDialog) {}

InitSequence::~InitSequence() { m_document.Context().timers.StopAll(this); }

std::string InitSequence::StationFile() const { return m_document.StationFile(); }

void InitSequence::Start() {
    AppContext& context = m_document.Context();
    m_view.EnableCancel(false);
    m_view.SetStatus("Waiting for data...");
    m_lastRecord = m_document.FindLastRecord();
    m_progressRange = 4;
    if (m_lastRecord) {
        m_document.SetLastStoredTime(m_lastRecord->time);
        const int interval = m_document.Storage().interval;
        const std::time_t behind = context.clock.Now() - m_lastRecord->time;
        if (interval > 0 && behind > 0)
            m_progressRange += static_cast<int>(std::min<std::time_t>(behind / interval, 1000000));
    }
    m_view.SetProgressRange(m_progressRange);
    m_view.SetProgress(0);

    if (m_document.Reconnecting()) {
        const unsigned ms = TimerMilliseconds(ReadReconnectTimeout(context.profile, StationFile()));
        context.timers.Start(this, kReconnectTimer, ms, [this] { End(); });
    }

    std::shared_ptr<CDataBase> transport = context.process.CurrentTransport.Get();
    if (transport != nullptr && transport->IsOpen())
        m_view.SetCaption(m_document.Reconnecting() ? "Initialisation "
                                                    : "Connecting" + transport->GetDescription());
}

bool InitSequence::OnDataLine(std::string line, int message) {
    if (m_ended) return false;
    if (message == kLoggerLine)
        OnLoggerLine(std::move(line));
    else
        OnRecordLine(line);
    return true;
}

void InitSequence::OnRecordLine(const std::string& line) {
    if (m_document.Reconnecting()) {
        m_document.SetReconnecting(false);
        m_document.Context().timers.Stop(this, kReconnectTimer);
    }
    if (m_firstLineSeen) return;
    m_firstLineSeen = true;

    ReadLabels(line);
    if (m_document.Interpretation().withoutLogger != 0) {
        // Nothing to tell a station without logger: the data continue from the last record.
        if (std::optional<DataFiles::LastRecord> last = m_document.FindLastRecord()) {
            m_document.SetLastStoredTime(last->time);
            m_document.SetRecordStoredSinceStart(true);
        }
        End();
        return;
    }
    OutputWrite("Set time", kPlain);
    ClockStep(line);
}

void InitSequence::ReadLabels(const std::string& line) {
    m_view.SetStatus("Reading sensor labels...");
    ReadSensorIdentifiers(line, m_document.SensorIdentifiers());
    m_document.LoadSensorDefinitions();
    Advance();
}

void InitSequence::ClockStep(const std::string& line) {
    AppContext& context = m_document.Context();
    m_view.SetStatus("Comparing clock...");
    const std::optional<CWetterDoc::RecordTime> parsed = m_document.ParseRecordTime(line);
    if (parsed) {
        m_stationTime = parsed->time;
        const std::time_t now = context.clock.Now();
        const std::time_t difference =
            now > m_stationTime ? now - m_stationTime : m_stationTime - now;
        const int tolerance = ReadInitClockTolerance(context.profile, StationFile());
        if (difference <= tolerance) {
            AfterClock(InitError::kNone);
            return;
        }
    }

    switch (context.process.commandLine.clockMode) {
        case ClockMode::kStationSetsPc:
            // Without a readable station time there is nothing to set the PC from.
            if (parsed) SetPcClock(context.clock, m_stationTime);
            AfterClock(InitError::kNone);
            return;
        case ClockMode::kWarnOnly: {
            std::optional<ClockDialogResult> choice;
            if (m_clockDialog != nullptr) choice = m_clockDialog->Show(m_stationTime);
            if (!choice || choice->choice == ClockChoice::kPcFromStation) {
                AfterClock(InitError::kNone);
                return;
            }
            if (choice->choice == ClockChoice::kNone) {
                AfterClock(InitError::kClockRefused);
                return;
            }
            const ClockDialogResult result = *choice;
            SendCommand(result.command, kRecordLine, [this, result](bool acknowledged) {
                if (!acknowledged) return AfterClock(InitError::kClockNotSet);
                m_stationTime = result.timeSent;
                if (!result.deleteLogger) return AfterClock(InitError::kNone);
                SendCommand("!N", kRecordLine, [this](bool deleted) {
                    AfterClock(deleted ? InitError::kNone : InitError::kLoggerNotDeleted);
                });
            });
            return;
        }
        case ClockMode::kPcSetsStation: {
            const std::time_t sent = context.clock.Now();
            SendCommand(ClockCommand(sent), kRecordLine, [this, sent](bool acknowledged) {
                if (acknowledged) m_stationTime = sent;
                AfterClock(acknowledged ? InitError::kNone : InitError::kClockNotSet);
            });
            return;
        }
    }
}

void InitSequence::AfterClock(InitError outcome) {
    if (outcome == InitError::kNone)
        Wait(300, [this] { StorageIntervalStep(); });
    else
        Fail(outcome);
}

void InitSequence::StorageIntervalStep() {
    OutputWrite("Set storage interval", kPlain);
    m_view.SetStatus("Setting storage intervall....");
    SendCommand(StorageIntervalCommand(m_document.Storage().interval), kRecordLine,
                [this](bool acknowledged) {
                    if (!acknowledged) return Fail(InitError::kStorageInterval);
                    Wait(300, [this] { PrecipitationResetStep(); });
                });
}

void InitSequence::PrecipitationResetStep() {
    OutputWrite("Set precipitation reset", kPlain);
    m_view.SetStatus("Setting precipitation reset...");
    if (m_document.Context().process.commandLine.noResetCommands) {
        Wait(300, [this] { AltitudeStep(); });
        return;
    }
    SendCommand(m_document.Interpretation().resetCommand, kRecordLine, [this](bool acknowledged) {
        if (!acknowledged) return Fail(InitError::kPrecipitationReset);
        Wait(300, [this] { AltitudeStep(); });
    });
}

void InitSequence::AltitudeStep() {
    OutputWrite("Set altitude", kPlain);
    Profile& profile = m_document.Context().profile;
    if (ToUpper(profile.ReadText(StationFile(), "Ortshoehe", "Aktiv", "FALSE")) != "TRUE") {
        Wait(1000, [this] { LoggerStep(); });
        return;
    }
    const int metres = profile.ReadInt(StationFile(), "Ortshoehe", "Hoehe", 0);
    m_view.SetStatus("Setting Altitude (" + std::to_string(metres) + "m)");
    SendCommand(AltitudeCommand(metres), kRecordLine, [this](bool acknowledged) {
        if (!acknowledged) return End();
        Wait(1000, [this] { LoggerStep(); });
    });
}

void InitSequence::LoggerStep() {
    OutputWrite("Read data logger", kPlain);
    m_view.EnableCancel(true);
    m_view.SetStatus("Looking for the last dataset...");
    // Also when the station is less than an interval past the last stored record: after
    // a quick restart the next record falls due while this start runs, and only the
    // logger still has it. A record stored already is not stored twice.
    const bool due = m_lastRecord && m_stationTime > m_lastRecord->time;
    if (!due) {
        End();
        return;
    }
    m_document.SetLastStoredTime(m_lastRecord->time);
    m_document.SetRecordStoredSinceStart(true);
    m_view.SetStatus("Waiting for datalogger...");
    SendCommand(LoggerQueryCommand(m_lastRecord->time), kLoggerLine, [this](bool acknowledged) {
        if (!acknowledged) Fail(InitError::kLoggerQuery);
    });
}

void InitSequence::OnLoggerLine(std::string line) {
    Timers& timers = m_document.Context().timers;
    timers.Stop(this, kLoggerSilenceTimer);
    m_loggerLines.push_back(std::move(line));
    m_loggerStarted = true;
    if (!m_loggerSilence)
        timers.Start(this, kLoggerSilenceTimer, 15000, [this] { OnLoggerSilence(); });
    ProcessLoggerLines();
}

void InitSequence::OnLoggerSilence() {
    m_loggerSilence = true;
    if (m_loggerStarted) ProcessLoggerLines();
}

void InitSequence::ProcessLoggerLines() {
    while (!m_ended && !m_loggerLines.empty()) {
        std::string line = std::move(m_loggerLines.front());
        m_loggerLines.pop_front();
        const std::optional<CWetterDoc::RecordTime> parsed = m_document.ParseRecordTime(line);
        if (!parsed) continue;
        m_view.SetStatus(FormatLocalTime(parsed->time, "%H:%M:%S  %d.%m.%y"));
        // A line later than the station's time is live again: the logger has caught up.
        // Such a line is stored as every live one is (marked by the station, or due by
        // the interval), not forced: forced, it would land off the storage grid.
        const bool caughtUp = parsed->time > m_stationTime;
        m_document.ProcessLine(line, !caughtUp, true);
        if (caughtUp) {
            End();
            return;
        }
        Advance();
    }
    if (m_ended || !m_loggerSilence) return;
    // The logger fell silent: "!C" asks it to finish; the third one ends the read.
    SendCommand("!C", kLoggerLine, nullptr);
    if (++m_clearCommands > 2) {
        End();
        return;
    }
    m_loggerSilence = false;
}

void InitSequence::OnReplyReceived() { Reply(true, "Received station's reply"); }

void InitSequence::OnNoReply() { Reply(false, "Didn't receive station's reply"); }

void InitSequence::OnLinkLost() { End(); }

void InitSequence::Reply(bool acknowledged, const char* text) {
    if (m_ended) return;
    OutputWrite(text, kPlain);
    m_awaitingReply = false;
    m_replyReceived = acknowledged;
    if (Continuation then = std::exchange(m_onReply, nullptr)) then(acknowledged);
}

bool InitSequence::SendCommand(const std::string& command, int replyMessage, Continuation then) {
    if (m_awaitingReply) return false;
    m_channel.PostCommand(CommandRequest{command, false, replyMessage});
    m_awaitingReply = true;
    m_onReply = std::move(then);
    return true;
}

void InitSequence::Wait(unsigned ms, std::function<void()> next) {
    Timers& timers = m_document.Context().timers;
    timers.Start(this, kStepTimer, ms, [this, &timers, next = std::move(next)] {
        timers.Stop(this, kStepTimer);
        if (!m_ended) next();
    });
}

void InitSequence::Advance() {
    if (m_progress < m_progressRange) ++m_progress;
    m_view.SetProgress(m_progress);
}

void InitSequence::Fail(InitError error) {
    m_error = error;
    End();
}

bool InitSequence::RequestCancel() {
    if (m_ended) return true;
    const MsgAnswer answer = m_document.Context().ui.MessageBox(
        kCancelQuestion, "", MsgButtons::YesNo, MsgIcon::Question);
    if (answer != MsgAnswer::Yes) return false;
    End();
    return true;
}

void InitSequence::End() {
    if (m_ended) return;
    m_ended = true;
    AppContext& context = m_document.Context();
    context.timers.StopAll(this);
    m_awaitingReply = false;
    m_replyReceived = false;
    m_onReply = nullptr;
    m_channel.Quit();
    m_progress = m_progressRange;
    m_view.SetProgress(m_progress);
    if (m_error != InitError::kNone) context.ui.MessageBox(InitErrorMessage(m_error), "");
    m_loggerLines.clear();
    if (std::shared_ptr<CDataBase> transport = context.process.CurrentTransport.Get()) {
        transport->Write("\r\n");
        transport->Write("\r\n");
    }
    m_view.Finished();
}
