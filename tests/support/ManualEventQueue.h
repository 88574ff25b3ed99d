#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/EventQueue.h"

// Posted calls wait until the test runs them, as if the user-interface thread
// took its messages only then.
class ManualEventQueue final : public EventQueue {
public:
    void Post(std::function<void()> call) override {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(std::move(call));
    }
    // Runs what is waiting, including what those calls post; returns how many ran.
    std::size_t RunPending() {
        std::size_t count = 0;
        for (;;) {
            std::function<void()> call;
            {
                std::lock_guard lock(m_mutex);
                if (m_calls.empty()) return count;
                call = std::move(m_calls.front());
                m_calls.pop_front();
            }
            call();
            ++count;
        }
    }
    std::size_t Waiting() const {
        std::lock_guard lock(m_mutex);
        return m_calls.size();
    }

private:
    mutable std::mutex m_mutex;
    std::deque<std::function<void()>> m_calls;
};
