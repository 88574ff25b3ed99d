#include "app/MainSwitchboard.h"

#include <algorithm>

#include "app/AppContext.h"
#include "app/CWetterDoc.h"
#include "app/ClockSync.h"
#include "app/Forwarding.h"
#include "comm/ProcessValues.h"
#include "comm/StationProtocol.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "model/ShowWarning.h"
#include "model/StationSettings.h"
#include "platform/Clock.h"
#include "platform/FileStore.h"
#include "platform/Timers.h"
#include "storage/DataFiles.h"

namespace {
// "sequent" as owners know the message; kept on purpose.
constexpr const char* kNotUnderstood = "Error!\nWeatherstation could not understand sequent:";
}  // namespace

MainSwitchboard::MainSwitchboard(AppContext& context) : m_context(context) {}

MainSwitchboard::~MainSwitchboard() { m_context.timers.StopAll(this); }

void MainSwitchboard::AddDocument(CWetterDoc& document) { m_documents.push_back(&document); }

void MainSwitchboard::RemoveDocument(CWetterDoc& document) {
    std::erase(m_documents, &document);
    if (m_document == &document) {
        m_document = nullptr;
        m_awaitingReply = false;
        m_transport.reset();
        m_context.timers.Stop(this, kReplyTimer);
        m_context.timers.Stop(this, kReconnectTimer);
    }
}

bool MainSwitchboard::IsOpen(const CWetterDoc* document) const {
    return std::find(m_documents.begin(), m_documents.end(), document) != m_documents.end();
}

void MainSwitchboard::StartDataFileCheck() {
    m_context.timers.Start(this, kDataFileCheckTimer, 15000, [this] { CheckDataFiles(); });
}

void MainSwitchboard::OnStationLine(CWetterDoc* document, std::string line) {
    ForwardLine(m_context, line);
    if (m_terminal) m_terminal(line);
    if (m_indicator) m_indicator();
    if (m_awaitingReply && StationProtocol::IsOnlineReply(line)) {
        FinishCommand();
        return;
    }
    if (IsOpen(document)) document->ProcessLine(line, false, false);
}

void MainSwitchboard::OnNoData(CWetterDoc* document) {
    if (IsOpen(document)) document->ReportConnectionState(CWetterDoc::ConnectionState::kNoData);
}

void MainSwitchboard::SendCommandWithReply(const std::string& command, CWetterDoc& document,
                                           std::shared_ptr<CDataBase> transport) {
    m_command = command;
    m_document = &document;
    m_transport = std::move(transport);
    const std::string text = command + "\r\n";
    if (m_transport != nullptr) m_transport->Write(text);
    m_awaitingReply = true;
    OutputWrite(text, 0);
    OutputWrite("Timer 3000", 0);
    m_context.timers.Start(this, kReplyTimer, 3000, [this] { OnReplyTimeout(); });
}

void MainSwitchboard::OnReplyTimeout() {
    m_context.timers.Stop(this, kReplyTimer);
    if (!m_awaitingReply) return;
    OutputWrite("Timeout at sending", 0);
    if (m_document == nullptr || m_transport == nullptr) return;
    if (m_resends > 3) {
        const std::string command = m_command;
        m_command.clear();
        FinishCommand();
        ShowWarning(m_context.ui, std::string(kNotUnderstood) + " " + command);
        return;
    }
    const std::string text = m_command + "\r\n";
    m_transport->Write(text);
    OutputWrite(text, 0);
    OutputWrite("Timer 2 600", 0);
    ++m_resends;
    m_context.timers.Start(this, kReplyTimer, 600, [this] { OnReplyTimeout(); });
}

void MainSwitchboard::FinishCommand() {
    m_awaitingReply = false;
    m_resends = 0;
    m_document = nullptr;
    m_transport.reset();
    m_context.timers.Stop(this, kReplyTimer);
}

void MainSwitchboard::RunProcessControl(CWetterDoc* document) {
    if (IsOpen(document)) document->RunProcessControl();
}

void MainSwitchboard::ArmReconnect(CWetterDoc& document) {
    m_document = &document;
    const unsigned ms =
        TimerMilliseconds(ReadReconnectDelay(m_context.profile, document.StationFile()));
    m_context.timers.Start(this, kReconnectTimer, ms, [this] { OnReconnectTimer(); });
}

void MainSwitchboard::CancelReconnect(CWetterDoc& document) {
    if (m_document == &document) m_context.timers.Stop(this, kReconnectTimer);
}

void MainSwitchboard::OnReconnectTimer() {
    m_context.timers.Stop(this, kReconnectTimer);
    CWetterDoc* document = m_document;
    if (document == nullptr || !IsOpen(document)) return;
    // A connect is initialising (its window waits in a loop of its own): a second
    // one inside it would take its link away. Looked at again after the delay.
    if (m_context.process.initialisationRunning) {
        ArmReconnect(*document);
        return;
    }
    if (document->StartAcquisition(true))
        m_context.timers.Stop(this, kReconnectTimer);
    else if (IsOpen(document))
        ArmReconnect(*document);
}

void MainSwitchboard::SetStationClock(CWetterDoc&) { SetStationClockLive(m_context); }

void MainSwitchboard::SetPcClock(CWetterDoc&, std::time_t recordTime) {
    SetPcClockLive(m_context, recordTime);
}

void MainSwitchboard::CheckDataFiles() {
    if (!m_acquisitionStarted) return;
    for (CWetterDoc* document : std::vector<CWetterDoc*>(m_documents)) {
        const std::tm now = LocalTime(m_context.clock.Now());
        const std::string& folder = document->Storage().dataFolder;
        const std::string& suffix = m_context.process.settings.dataFileExtension;
        std::optional<std::uint64_t> size = m_context.Files().Size(
            DataFiles::FileName(folder, now.tm_mon + 1, now.tm_year + 1900, suffix));
        if (!size) {
            m_context.clock.SleepMs(100);
            size = m_context.Files().Size(DataFiles::TwoDigitYearFileName(
                folder, now.tm_mon + 1, now.tm_year + 1900, suffix));
        }
        if (!size || *size == m_lastDataFileSize) continue;
        m_lastDataFileSize = *size;
        if (std::optional<DataFiles::LastRecord> last = document->FindLastRecord()) {
            document->SetLastStoredTime(last->time);
            document->UpdateAllViews();
        }
    }
}
