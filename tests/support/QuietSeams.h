#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/EventQueue.h"
#include "platform/Timers.h"
#include "platform/Ui.h"

// Seams for benchmarks and fuzzers that must run unattended and keep nothing:
// no timers, a person who answers OK to everything, and a user-interface
// thread that the caller drives.

class NoTimers final : public Timers {
public:
    void Start(const void*, int, unsigned, Callback) override {}
    void Stop(const void*, int) override {}
    void StopAll(const void*) override {}
    bool IsRunning(const void*, int) const override { return false; }
};

class SilentUi final : public Ui {
public:
    MsgAnswer MessageBox(std::string_view, std::string_view, MsgButtons, MsgIcon) override {
        return MsgAnswer::Ok;
    }
    void CautionBox(std::string_view) override {}
    void ShowBusy(std::string_view) override {}
    void HideBusy() override {}
    std::optional<std::uint32_t> ChooseColour(std::uint32_t) override { return std::nullopt; }
    std::optional<std::string> ChooseFile(std::string_view, std::string_view, bool) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseFolder(std::string_view, std::string_view) override {
        return std::nullopt;
    }
};

// Posted calls wait until the caller's thread runs them, blocking until `done`.
class WaitingQueue final : public EventQueue {
public:
    void Post(std::function<void()> call) override {
        {
            std::lock_guard lock(m_mutex);
            m_calls.push_back(std::move(call));
        }
        m_posted.notify_one();
    }
    void RunUntil(const std::function<bool()>& done) {
        while (!done()) {
            std::function<void()> call;
            {
                std::unique_lock lock(m_mutex);
                m_posted.wait(lock, [this] { return !m_calls.empty(); });
                call = std::move(m_calls.front());
                m_calls.pop_front();
            }
            call();
        }
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::function<void()>> m_calls;
};
