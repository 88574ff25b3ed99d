#pragma once

#include <mutex>
#include <string>

// The one command waiting for the acquisition reader to transmit it. A second
// command queued before the first went out replaces it.
class PendingCommand {
public:
    void Store(std::string text) {
        std::lock_guard lock(m_mutex);
        m_text = std::move(text);
    }
    std::string Text() const {
        std::lock_guard lock(m_mutex);
        return m_text;
    }

private:
    mutable std::mutex m_mutex;
    std::string m_text;
};
