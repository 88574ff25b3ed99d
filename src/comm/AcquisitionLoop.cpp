#include "comm/AcquisitionLoop.h"

#include <chrono>

#include "comm/LineAssembler.h"
#include "comm/ProcessValues.h"
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
    m_thread = std::thread([this, document] { Run(document); });
}

void AcquisitionLoop::Stop() {
    if (!m_thread.joinable()) return;
    m_process.AcquisitionStopEvent.Set();
    m_thread.join();
    // A loop that ended by itself (silence) left the event unset; one stopped here consumed it.
    m_process.AcquisitionStopEvent.Reset();
}

void AcquisitionLoop::Run(CWetterDoc* document) {
    m_process.PendingCommandEvent.Reset();
    LineAssembler assembler(false);
    bool synchronised = false;
    std::uint64_t lastLineTick = m_clock.TickMs();
    const auto timeoutMs = static_cast<std::uint64_t>(m_process.settings.noDataTimeout * 1000.0);

    while (true) {
        std::shared_ptr<CDataBase> transport = m_process.CurrentTransport.Get();
        char byte = 0;
        if (transport != nullptr && transport->IsOpen()) {
            if (transport->Read(&byte, 1)) {
                if (m_process.PendingCommandEvent.TestAndClear()) {
                    if (transport->Write(m_process.PendingCommandText.Text()) == 0) {
                        Ui* ui = &m_ui;
                        m_events.Post([ui] { ui->MessageBox("Error transmitting", ""); });
                    }
                }
                if (assembler.Add(byte)) {
                    // The first line may have begun before the reader did: it is dropped.
                    if (synchronised)
                        m_events.Post(
                            [receiver = &m_receiver, document, line = assembler.Line()]() mutable {
                                receiver->OnStationLine(document, std::move(line));
                            });
                    synchronised = true;
                    assembler.Clear();
                    lastLineTick = m_clock.TickMs();
                }
            }
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }

        if (m_clock.TickMs() - lastLineTick > timeoutMs) {
            m_events.Post([receiver = &m_receiver, document] { receiver->OnNoData(document); });
            if (transport != nullptr) transport->PurgeInput();
            return;
        }
        if (m_process.AcquisitionStopEvent.TestAndClear()) return;
        std::this_thread::yield();
    }
}
