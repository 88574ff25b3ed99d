#pragma once

#include <cstdint>
#include <stop_token>
#include <string>
#include <thread>

class CWetterDoc;
class Clock;
class EventQueue;
class Ui;
struct ProcessValues;

// Where the acquisition reader delivers (the main window). Calls arrive on the
// user-interface thread; the document may have closed meanwhile.
class StationLineReceiver {
public:
    virtual ~StationLineReceiver() = default;
    // A received line, with its "\r\n".
    virtual void OnStationLine(CWetterDoc* document, std::string line) = 0;
    // Nothing arrived within the data time-out; the reader has ended.
    virtual void OnNoData(CWetterDoc* document) = 0;
};

// The reader that runs after the initialisation: turns the station's bytes
// into lines for the main window, reports silence, and transmits the command
// other windows queue (after the next received byte).
class AcquisitionLoop {
public:
    AcquisitionLoop(ProcessValues& process, Clock& clock, EventQueue& events, Ui& ui,
                    StationLineReceiver& receiver);
    ~AcquisitionLoop();
    AcquisitionLoop(const AcquisitionLoop&) = delete;
    AcquisitionLoop& operator=(const AcquisitionLoop&) = delete;

    // Starts the reader for `document`.
    void Start(CWetterDoc* document);
    // Asks the reader to end and waits until it has (at most one read wait),
    // so the transport can be closed safely afterwards.
    void Stop();
    bool Running() const { return m_thread.joinable(); }

    // The loop itself, on the calling thread, until the stop event or silence.
    void Run(CWetterDoc* document);

private:
    // The no-data time-out, read on the thread that owns the settings.
    std::uint64_t NoDataTimeoutMs() const;
    void Receive(CWetterDoc* document, std::uint64_t timeoutMs, std::stop_token stop);

    ProcessValues& m_process;
    Clock& m_clock;
    EventQueue& m_events;
    Ui& m_ui;
    StationLineReceiver& m_receiver;
    std::jthread m_thread;
};
