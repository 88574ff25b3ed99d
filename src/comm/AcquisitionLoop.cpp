#include "comm/AcquisitionLoop.h"

#include <string>

#include "comm/LineAssembler.h"
#include "comm/ProcessValues.h"
#include "comm/ReceiveBytes.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/Ui.h"

AcquisitionLoop::AcquisitionLoop(ProcessValues& process, Clock& clock, EventQueue& events, Ui& ui,
                                 StationLineReceiver& receiver)
    : m_process(process), m_clock(clock), m_events(events), m_ui(ui), m_receiver(receiver) {}

AcquisitionLoop::~AcquisitionLoop() { Stop(); }

void AcquisitionLoop::Start(CWetterDoc* document) {
    if (Running()) return;
    m_process.AcquisitionStopEvent.Reset();
    // Copied here: a settings load on this thread must not race the reader.
    const std::uint64_t timeoutMs = NoDataTimeoutMs();
    m_thread = std::jthread([this, document, timeoutMs](std::stop_token stop) {
        Receive(document, timeoutMs, std::move(stop));
    });
}

void AcquisitionLoop::Stop() {
    if (!m_thread.joinable()) return;
    m_process.AcquisitionStopEvent.Set();
    m_thread.join();
    // A loop that ended by itself (silence) left the event unset; one stopped here consumed it.
    m_process.AcquisitionStopEvent.Reset();
}

void AcquisitionLoop::Run(CWetterDoc* document) { Receive(document, NoDataTimeoutMs(), {}); }

std::uint64_t AcquisitionLoop::NoDataTimeoutMs() const {
    return static_cast<std::uint64_t>(m_process.settings.noDataTimeout * 1000.0);
}

void AcquisitionLoop::Receive(CWetterDoc* document, std::uint64_t timeoutMs, std::stop_token stop) {
    m_process.PendingCommandEvent.Reset();
    const auto deliver = [&](std::string line) {
        m_events.Post([receiver = &m_receiver, document, line = std::move(line)]() mutable {
            receiver->OnStationLine(document, std::move(line));
        });
    };
    // Lines the initialisation received but did not process come first. A line whose
    // start its reader received is completed here; without that start the first line
    // may have begun before anybody read: it is dropped.
    LineHandOver::Left left = m_process.ReaderHandOver.Take();
    for (std::string& line : left.lines) deliver(std::move(line));
    LineAssembler assembler(false);
    bool synchronised = left.lineStart.has_value();
    if (left.lineStart)
        for (char byte : *left.lineStart) assembler.Add(byte);
    std::uint64_t lastLineTick = m_clock.TickMs();

    const auto onByte = [&](char byte, CDataBase& transport) {
        if (m_process.PendingCommandEvent.TestAndClear()) {
            if (transport.Write(m_process.PendingCommandText.Text()) == 0) {
                Ui* ui = &m_ui;
                m_events.Post([ui] { ui->MessageBox("Error transmitting", ""); });
            }
        }
        if (!assembler.Add(byte)) return;
        if (synchronised) deliver(assembler.Line());
        synchronised = true;
        assembler.Clear();
        lastLineTick = m_clock.TickMs();
    };
    const auto ends = [&](CDataBase* transport) {
        if (m_clock.TickMs() - lastLineTick > timeoutMs) {
            m_events.Post([receiver = &m_receiver, document] { receiver->OnNoData(document); });
            if (transport != nullptr) transport->PurgeInput();
            return true;
        }
        return m_process.AcquisitionStopEvent.TestAndClear() || stop.stop_requested();
    };
    ReceiveBytes(m_process.CurrentTransport, m_clock, ends, onByte);
}
