#include "comm/CFaden.h"

#include <algorithm>
#include <chrono>

#include "comm/ProcessValues.h"
#include "model/Colours.h"
#include "model/ErrorLog.h"
#include "model/OutputList.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"

namespace {

constexpr const char* kDenied = "DENIED: ";
constexpr const char* kDeniedText =
    "Weather station blocked command! DENIED detected! EEPROM protected?";

void RemoveSpaces(std::string& line) { std::erase(line, ' '); }

}  // namespace

CFaden::CFaden(ProcessValues& process, Clock& clock, EventQueue& events, ErrorLog& errorLog,
               std::string logPath)
    : m_process(process),
      m_clock(clock),
      m_events(events),
      m_errorLog(errorLog),
      m_logPath(std::move(logPath)),
      m_timeoutMs(static_cast<std::uint64_t>(std::max(0, process.settings.commandTimeoutMs))),
      m_retries(process.settings.commandRetries) {}

CFaden::~CFaden() { Stop(); }

void CFaden::SetTarget(std::weak_ptr<InitTarget> target) {
    std::lock_guard lock(m_targetMutex);
    m_target = std::move(target);
}

void CFaden::Start() {
    if (Running()) return;
    // A log that cannot be created only means the traffic goes unlogged.
    m_log = std::fopen(m_logPath.c_str(), "wb");
    m_process.ReaderStopEvent.Reset();
    m_threaded = true;
    m_worker = std::thread([this] { RunWorker(); });
    m_reader = std::jthread([this](std::stop_token stop) { RunReader(stop); });
}

void CFaden::RequestStop() {
    if (m_worker.joinable()) Post(std::monostate{});
}

void CFaden::Stop() {
    if (!m_worker.joinable()) return;
    Post(std::monostate{});
    m_worker.join();
    m_threaded = false;
}

void CFaden::PostCommand(CommandRequest request) {
    if (Running())
        Post(std::move(request));
    else
        HandleSend(request);
}

void CFaden::Post(Message message) {
    {
        std::lock_guard lock(m_queueMutex);
        m_queue.push_back(std::move(message));
    }
    m_queueChanged.notify_one();
}

void CFaden::RunWorker() {
    while (true) {
        Message message;
        {
            std::unique_lock lock(m_queueMutex);
            m_queueChanged.wait(lock, [this] { return !m_queue.empty(); });
            message = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (std::holds_alternative<std::monostate>(message)) break;
        if (auto* line = std::get_if<std::string>(&message))
            HandleLine(std::move(*line));
        else
            HandleSend(std::get<CommandRequest>(message));
    }
    m_process.ReaderStopEvent.Set();
    m_reader.request_stop();
    if (m_reader.joinable()) m_reader.join();
    if (m_log != nullptr) std::fclose(m_log);
    m_log = nullptr;
}

void CFaden::RunReader(std::stop_token stop) {
    while (true) {
        std::shared_ptr<CDataBase> transport = m_process.CurrentTransport.Get();
        char byte = 0;
        if (transport != nullptr && transport->IsOpen()) {
            if (transport->Read(&byte, 1)) HandleByte(byte);
        } else {
            // Nothing to read from: wait as a silent line would.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (m_process.ReaderStopEvent.TestAndClear() || stop.stop_requested()) break;
        std::this_thread::yield();
    }
}

void CFaden::HandleByte(char byte) {
    if (!m_assembler.Add(byte)) return;
    std::string line = m_assembler.Line();
    m_assembler.Clear();

    if (line.find(kDenied) != std::string::npos) {
        OutputWrite(kDeniedText, kColourError);
        StationProtocol::RemoveAll(line, kDenied);
        m_errorLog.WriteErrorLog(kDeniedText);
    }
    if (m_synchronised) {
        if (m_threaded)
            Post(std::move(line));
        else
            HandleLine(std::move(line));
        return;
    }
    // The first complete record line only synchronises; the next one is the first handed on.
    RemoveSpaces(line);
    std::erase(line, '\x1F');
    if (line.find(",\r\n") != std::string::npos) m_synchronised = true;
}

void CFaden::HandleSend(const CommandRequest& request) {
    m_lastCommand = request.command;
    m_forwardWhileAwaiting = request.forwardWhileAwaiting;
    if (request.replyMessage != StationProtocol::kNoLineMessage)
        m_lineMessage = request.replyMessage;
    m_awaitingReply = true;
    Transmit(m_lastCommand);
}

void CFaden::HandleLine(std::string line) {
    LogLine(line);
    RemoveSpaces(line);
    {
        std::lock_guard lock(m_targetMutex);
        if (m_target.expired()) return;
    }
    if (!m_awaitingReply) {
        PostDataLine(std::move(line));
        return;
    }
    if (const std::optional<std::string> echo = StationProtocol::EchoText(line)) {
        if (*echo == m_lastCommand) {
            Report([](InitTarget& target) { target.OnReplyReceived(); });
            m_sendCount = 0;
            m_lastCommand.clear();
            m_awaitingReply = false;
        } else if (m_sendCount >= m_retries) {
            GiveUp();
        } else {
            Retransmit();
        }
        return;
    }
    if (m_forwardWhileAwaiting) PostDataLine(std::move(line));
    // Only arriving lines measure the send time-out: the station's records drive it.
    m_lastLineTick = m_clock.TickMs();
    if (m_lastLineTick - m_sentTick > m_timeoutMs) {
        if (m_sendCount >= m_retries)
            GiveUp();
        else
            Retransmit();
    }
}

void CFaden::Transmit(const std::string& command) {
    const std::string text = command + "\r\n";
    LogLine(text);
    if (std::shared_ptr<CDataBase> transport = m_process.CurrentTransport.Get())
        transport->Write(text);
    m_sentTick = m_clock.TickMs();
    ++m_sendCount;
}

void CFaden::Retransmit() {
    m_awaitingReply = true;
    Transmit(m_lastCommand);
}

void CFaden::GiveUp() {
    Report([](InitTarget& target) { target.OnNoReply(); });
    m_sendCount = 0;
    m_lastCommand.clear();
    m_awaitingReply = false;
}

void CFaden::PostDataLine(std::string line) {
    const int message = m_lineMessage;
    if (message == StationProtocol::kNoLineMessage) return;
    Report([line = std::move(line), message](InitTarget& target) mutable {
        target.OnDataLine(std::move(line), message);
    });
}

void CFaden::LogLine(const std::string& text) {
    if (m_log == nullptr) return;
    std::fwrite(text.data(), 1, text.size(), m_log);
    std::fflush(m_log);
}

template <class Call>
void CFaden::Report(Call call) {
    std::weak_ptr<InitTarget> target;
    {
        std::lock_guard lock(m_targetMutex);
        target = m_target;
    }
    m_events.Post([target = std::move(target), call = std::move(call)]() mutable {
        if (std::shared_ptr<InitTarget> alive = target.lock()) call(*alive);
    });
}
