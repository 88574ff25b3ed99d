#pragma once

#include <atomic>

// A process-wide auto-reset event that is only ever polled without waiting:
// one side sets it, the other tests and clears it in one step. Safe from any thread.
class AutoResetEvent {
public:
    void Set() { m_signalled.store(true, std::memory_order_release); }
    void Reset() { m_signalled.store(false, std::memory_order_release); }
    // True once per Set: the flag is cleared by the test that sees it.
    bool TestAndClear() { return m_signalled.exchange(false, std::memory_order_acq_rel); }
    bool IsSet() const { return m_signalled.load(std::memory_order_acquire); }

private:
    std::atomic<bool> m_signalled{false};
};
