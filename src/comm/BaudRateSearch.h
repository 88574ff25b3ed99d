#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "model/StationSettings.h"

class AutoResetEvent;
class CDataBase;
class Clock;
class EventQueue;

// The baud-rate search of a serial station on a worker thread, so that the
// window that shows it stays alive: the transport tries the rates, the result
// comes back to the user-interface thread through the event queue, and a
// cancel stops the search through the abort event.
class BaudRateSearch {
public:
    // How long a cancel waits for the worker to end.
    static constexpr unsigned kCancelWaitMs = 3000;
    // The searching text, shown growing by one character at this period.
    static constexpr std::string_view kSearchingText = "Searching Baudrate.......";
    static constexpr unsigned kTextStepMs = 50;

    // `line` is what the search starts from; `abort` is the process's
    // BaudSearchAbortEvent. `transport` must outlive this object.
    BaudRateSearch(CDataBase& transport, SerialLineSettings line, AutoResetEvent& abort,
                   EventQueue& events);
    // A search still running is stopped and waited for.
    ~BaudRateSearch();
    BaudRateSearch(const BaudRateSearch&) = delete;
    BaudRateSearch& operator=(const BaudRateSearch&) = delete;

    // Starts the search. Once it ends by itself, `ended` runs on the
    // user-interface thread with true when the station answered. Once only.
    void Start(std::function<void(bool found)> ended);
    // "Cancel": sets the abort event and waits up to kCancelWaitMs (on `clock`)
    // for the worker; `ended` does not run any more. True when the worker ended
    // within the wait.
    bool Cancel(Clock& clock);
    // True from Start until the worker has ended.
    bool Running() const;
    // The line settings as the search left them: the rate found, or the last
    // one tried. Meaningful once the worker has ended.
    SerialLineSettings Line() const;

    // "Searching Baudrate......." after `step` steps: one more character each
    // step, starting again from the first when it is complete.
    static std::string SearchingText(unsigned step);

private:
    // What the worker and the posted call share; it outlives this object when
    // a posted call runs late.
    struct Shared {
        mutable std::mutex mutex;
        SerialLineSettings line;
        std::atomic<bool> done{false};
        std::atomic<bool> cancelled{false};
    };

    CDataBase& m_transport;
    AutoResetEvent& m_abort;
    EventQueue& m_events;
    std::shared_ptr<Shared> m_shared;
    std::jthread m_worker;
};
