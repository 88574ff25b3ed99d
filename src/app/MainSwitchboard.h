#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/DocumentHost.h"
#include "comm/AcquisitionLoop.h"

struct AppContext;

// The main window's rules: where received lines go (forwarding port,
// terminal, the reply of a pending command, record reception), the command
// exchange with its retries, the reconnect cycle and the data-file check.
// Every call runs on the user-interface thread.
class MainSwitchboard final : public DocumentHost, public StationLineReceiver {
public:
    static constexpr int kDataFileCheckTimer = 1900;
    static constexpr int kReplyTimer = 1910;
    static constexpr int kReconnectTimer = 7632;

    explicit MainSwitchboard(AppContext& context);
    ~MainSwitchboard() override;
    MainSwitchboard(const MainSwitchboard&) = delete;
    MainSwitchboard& operator=(const MainSwitchboard&) = delete;

    // The open documents: messages for any other document are dropped.
    void AddDocument(CWetterDoc& document);
    void RemoveDocument(CWetterDoc& document);
    bool IsOpen(const CWetterDoc* document) const;

    // An open terminal gets every received line.
    void SetTerminal(std::function<void(const std::string&)> terminal) {
        m_terminal = std::move(terminal);
    }
    // Told of every received line (the status bar's record indicator).
    void SetLineIndicator(std::function<void()> indicator) { m_indicator = std::move(indicator); }

    // Starts the 15-second data-file check.
    void StartDataFileCheck();

    // From the acquisition reader.
    void OnStationLine(CWetterDoc* document, std::string line) override;
    void OnNoData(CWetterDoc* document) override;

    // From the documents.
    void SendCommandWithReply(const std::string& command, CWetterDoc& document,
                              std::shared_ptr<CDataBase> transport) override;
    void RunProcessControl(CWetterDoc* document) override;
    void ArmReconnect(CWetterDoc& document) override;
    void SetStationClock(CWetterDoc& document) override;
    void SetPcClock(CWetterDoc& document, std::time_t recordTime) override;
    void CancelReconnect(CWetterDoc& document) override;
    void SetAcquisitionStarted(bool started) override { m_acquisitionStarted = started; }
    void SetReconnectDocument(CWetterDoc& document) override { m_document = &document; }

    // The timers' work.
    void OnReplyTimeout();
    void OnReconnectTimer();
    void CheckDataFiles();

    bool AwaitingReply() const { return m_awaitingReply; }
    bool AcquisitionStarted() const { return m_acquisitionStarted; }
    CWetterDoc* Document() const { return m_document; }

private:
    void FinishCommand();

    AppContext& m_context;
    std::vector<CWetterDoc*> m_documents;
    std::function<void(const std::string&)> m_terminal;
    std::function<void()> m_indicator;

    bool m_acquisitionStarted = true;
    std::uint64_t m_lastDataFileSize = 0;

    // The pending command and the document it is for, which is also the document to reconnect.
    std::string m_command;
    std::shared_ptr<CDataBase> m_transport;
    bool m_awaitingReply = false;
    int m_resends = 0;
    CWetterDoc* m_document = nullptr;
};
