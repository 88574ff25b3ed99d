#pragma once

#include <csignal>
#include <functional>
#include <memory>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a call on the Qt thread: the handler only writes
// a byte into a pipe, which a socket notifier reads. One instance at a time; the
// previous handlers come back when it goes away.
class StopSignals final {
public:
    explicit StopSignals(std::function<void()> onStop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // False when the pipe or the handlers could not be set up (signals then keep
    // their previous meaning).
    bool IsActive() const { return m_active; }

private:
    void OnReadable();

    std::function<void()> m_onStop;
    int m_readFd = -1;
    int m_writeFd = -1;
    bool m_active = false;
    struct sigaction m_previousTerm {};
    struct sigaction m_previousInt {};
    std::unique_ptr<QSocketNotifier> m_notifier;
};
