#pragma once

// CFaden ("thread") is the initialisation's command worker.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <variant>

#include "comm/LineAssembler.h"
#include "comm/LineJournal.h"
#include "comm/StationProtocol.h"

class Clock;
class ErrorLog;
class EventQueue;
class FileStore;
struct ProcessValues;

// A command for the initialisation worker.
struct CommandRequest {
    std::string command;  // without "\r\n"
    bool forwardWhileAwaiting = false;
    // Where data lines go from now on; kNoLineMessage keeps the current choice.
    int replyMessage = StationProtocol::kNoLineMessage;
};

// What the initialisation worker reports (on the user-interface thread).
class InitTarget {
public:
    virtual ~InitTarget() = default;
    // A data line for `message` (kRecordLine or kLoggerLine); false when the
    // initialisation is already over, which leaves the line to the acquisition reader.
    virtual bool OnDataLine(std::string line, int message) = 0;
    // The station echoed the command.
    virtual void OnReplyReceived() = 0;
    // No echo after every transmission.
    virtual void OnNoReply() = 0;
    // The link went down while the station talked (a modem's call dropped):
    // nothing more will come over it.
    virtual void OnLinkLost() {}
};

// The initialisation worker: a thread with its own queue that sends one
// command at a time, recognises the station's echo, repeats the command on a
// wrong echo or time-out, and hands data lines to the initialisation. Its byte
// reader turns the station's bytes into lines on a second thread. When the
// worker ends, the lines the initialisation did not take and the start of the
// line being received are left to the acquisition reader.
//
// Handle* run on the worker thread once Start() was called; tests may call
// them directly without starting the threads.
class CFaden {
public:
    // The traffic is logged to `logPath` through `files`.
    CFaden(ProcessValues& process, Clock& clock, EventQueue& events, ErrorLog& errorLog,
           FileStore& files, std::string logPath);
    ~CFaden();
    CFaden(const CFaden&) = delete;
    CFaden& operator=(const CFaden&) = delete;

    // The initialisation that receives the reports; null drops data lines.
    // Reports are posted and dropped when the target has gone meanwhile.
    void SetTarget(std::weak_ptr<InitTarget> target);

    // Creates "log.dat" and starts the worker and its byte reader.
    void Start();
    // Asks the worker to end (it stops its reader and closes "log.dat") without waiting.
    void RequestStop();
    // Ends both threads (the reader within its read wait) and waits for them.
    void Stop();
    bool Running() const { return m_worker.joinable(); }

    // Queues a command for the worker (or handles it at once when not started).
    void PostCommand(CommandRequest request);

    // The worker's two messages. `number` is the line's number in the journal (0: none).
    void HandleSend(const CommandRequest& request);
    void HandleLine(std::string line, std::uint64_t number = 0);

    // The byte reader's step for one received byte; tests feed bytes here.
    void HandleByte(char byte);

    bool AwaitingReply() const { return m_awaitingReply; }
    int SendCount() const { return m_sendCount; }
    int LineMessage() const { return m_lineMessage; }

private:
    struct ReceivedLine {
        std::string text;
        std::uint64_t number;
    };
    using Message = std::variant<ReceivedLine, CommandRequest, std::monostate>;

    void RunWorker();
    void RunReader(std::stop_token stop);
    void Post(Message message);
    void Transmit(const std::string& command);
    void Retransmit();
    void GiveUp();
    void PostDataLine(std::string line, std::uint64_t number);
    void LogLine(const std::string& text);
    template <class Call>
    void Report(Call call);

    ProcessValues& m_process;
    Clock& m_clock;
    EventQueue& m_events;
    ErrorLog& m_errorLog;
    FileStore& m_files;
    std::string m_logPath;
    bool m_logging = false;  // the log was created; written only by the worker once started

    std::mutex m_targetMutex;
    std::weak_ptr<InitTarget> m_target;

    // Worker state: touched only by the worker thread (or the test thread).
    bool m_awaitingReply = false;
    bool m_forwardWhileAwaiting = true;
    std::string m_lastCommand;
    std::uint64_t m_sentTick = 0;
    std::uint64_t m_lastLineTick = 0;
    int m_sendCount = 0;
    int m_lineMessage = StationProtocol::kRecordLine;

    // Byte reader state: touched only by the reader thread (and the worker once it has ended).
    LineAssembler m_assembler{true};
    bool m_synchronised = false;
    std::uint64_t m_lineNumber = 0;

    // Shared with the reports on their way to the initialisation, which may outlive the worker.
    std::shared_ptr<LineJournal> m_journal = std::make_shared<LineJournal>();

    // Copied at construction: a settings load on another thread must not race the worker.
    std::uint64_t m_timeoutMs;
    int m_retries;

    std::mutex m_queueMutex;
    std::condition_variable m_queueChanged;
    std::deque<Message> m_queue;

    bool m_threaded = false;  // set before the threads start, cleared after they end
    std::jthread m_reader;
    std::jthread m_worker;
};
