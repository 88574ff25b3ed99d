#include "publish/PublishWorker.h"

#include <exception>
#include <utility>

#include "model/Colours.h"
#include "model/ErrorLog.h"
#include "model/OutputList.h"

PublishWorker::PublishWorker(ErrorLog& errorLog) : PublishWorker(errorLog, Options{}) {}

PublishWorker::PublishWorker(ErrorLog& errorLog, Options options)
    : m_errorLog(errorLog),
      m_options{options.capacity > 0 ? options.capacity : 1, options.grace},
      m_thread([this] { Run(); }) {}

PublishWorker::~PublishWorker() { Stop(); }

bool PublishWorker::Queue(std::string label, Job job) {
    bool full = false;
    std::string dropped;
    {
        std::lock_guard lock(m_mutex);
        if (m_closing) return false;
        if (m_queue.size() >= m_options.capacity) {
            full = true;
            dropped = std::move(m_queue.front().label);
            m_queue.pop_front();
        }
        m_queue.push_back({std::move(label), std::move(job)});
    }
    m_wake.notify_one();
    if (full) {
        const std::string text = "Upload queue full (" + std::to_string(m_options.capacity) +
                                 " waiting): dropped " + dropped;
        Note(text, text);
    }
    return true;
}

void PublishWorker::Stop() {
    std::deque<Entry> dropped;
    bool abortedRunning = false;
    {
        std::unique_lock lock(m_mutex);
        if (m_closing) return;
        m_closing = true;
        m_wake.notify_one();
        m_idle.wait_for(lock, m_options.grace, [this] { return m_queue.empty() && !m_running; });
        dropped.swap(m_queue);
        abortedRunning = m_running;
    }
    m_jobStop.request_stop();
    m_wake.notify_one();
    if (m_thread.joinable()) m_thread.join();

    const std::size_t count = dropped.size() + (abortedRunning ? 1 : 0);
    if (count == 0) return;
    std::string text = std::to_string(count) + " upload(s) not sent at exit";
    std::string logText = text;
    if (!dropped.empty()) {
        logText += "\r\nfirst waiting: " + dropped.front().label;
        if (dropped.size() > 1) logText += "\r\nlast waiting: " + dropped.back().label;
    }
    Note(text, logText);
}

bool PublishWorker::WaitUntilIdle(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_idle.wait_for(lock, timeout, [this] { return m_queue.empty() && !m_running; });
}

std::size_t PublishWorker::Waiting() const {
    std::lock_guard lock(m_mutex);
    return m_queue.size();
}

void PublishWorker::Run() {
    for (;;) {
        Entry entry;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_queue.empty() || m_closing; });
            if (m_queue.empty()) return;
            entry = std::move(m_queue.front());
            m_queue.pop_front();
            m_running = true;
        }
        try {
            entry.job(m_jobStop.get_token());
        } catch (const std::exception& e) {
            Note(entry.label + " failed: " + e.what(), entry.label + " failed: " + e.what());
        } catch (...) {
            Note(entry.label + " failed", entry.label + " failed");
        }
        {
            std::lock_guard lock(m_mutex);
            m_running = false;
        }
        m_idle.notify_all();
    }
}

void PublishWorker::Note(const std::string& text, const std::string& logText) {
    // Both are safe from this thread: the output list has its own lock, the error
    // log serialises its writers.
    OutputWrite(text, kColourError);
    m_errorLog.WriteErrorLog(logText);
}
