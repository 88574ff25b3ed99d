#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

class ErrorLog;

// Runs the uploads that follow stored records on one thread of its own, in the
// order they were queued, so the user-interface thread never waits on the
// network. The queue is bounded: when it is full the oldest waiting upload is
// dropped with a note in the output window and the error log. At the end the
// waiting uploads get a grace time; what is left then is dropped with a note.
class PublishWorker {
public:
    // One upload. It gets a token that is stopped when the worker ends; an upload
    // that waits on the network must return soon after that.
    using Job = std::function<void(std::stop_token stop)>;

    struct Options {
        std::size_t capacity = 1000;
        std::chrono::milliseconds grace{3000};
    };

    explicit PublishWorker(ErrorLog& errorLog);
    PublishWorker(ErrorLog& errorLog, Options options);
    // Stop().
    ~PublishWorker();
    PublishWorker(const PublishWorker&) = delete;
    PublishWorker& operator=(const PublishWorker&) = delete;

    // Queues `job`; `label` names it in notes ("HTTP upload 12:00:00,..."). Returns
    // at once, from any thread. False after Stop (the job is not run).
    bool Queue(std::string label, Job job);

    // Lets the waiting uploads run for the grace time, then drops the rest with a
    // note, stops the running one and ends the thread. Returns within the grace
    // time plus the time the running upload needs to notice its stop (about a
    // second for a web session). Later calls do nothing.
    void Stop();

    // Waits until nothing waits or runs; false when `timeout` passed first.
    bool WaitUntilIdle(std::chrono::milliseconds timeout);
    // Uploads waiting (not counting the running one).
    std::size_t Waiting() const;

private:
    struct Entry {
        std::string label;
        Job job;
    };

    void Run();
    void Note(const std::string& text, const std::string& logText);

    ErrorLog& m_errorLog;
    Options m_options;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Entry> m_queue;
    bool m_running = false;
    bool m_closing = false;
    std::stop_source m_jobStop;
    std::jthread m_thread;
};
