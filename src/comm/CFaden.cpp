#include "comm/CFaden.h"

#include <algorithm>

#include "comm/ProcessValues.h"
#include "comm/ReceiveBytes.h"
#include "model/Colours.h"
#include "model/ErrorLog.h"
#include "model/OutputList.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/FileStore.h"

namespace {

constexpr const char* kDenied = "DENIED: ";
constexpr const char* kDeniedText =
    "Weather station blocked command! DENIED detected! EEPROM protected?";

void RemoveSpaces(std::string& line) { std::erase(line, ' '); }

}  // namespace

CFaden::CFaden(ProcessValues& process, Clock& clock, EventQueue& events, ErrorLog& errorLog,
               FileStore& files, std::string logPath)
    : m_process(process),
      m_clock(clock),
      m_events(events),
      m_errorLog(errorLog),
      m_files(files),
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
    m_logging = static_cast<bool>(m_files.Replace(m_logPath, "", false));
    m_process.ReaderStopEvent.Reset();
    // Whatever an earlier reader left belongs to an earlier connection.
    m_process.ReaderHandOver.Leave({});
    m_threaded = true;
    m_worker = std::jthread([this] { RunWorker(); });
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
        if (auto* line = std::get_if<ReceivedLine>(&message))
            HandleLine(std::move(line->text), line->number);
        else
            HandleSend(std::get<CommandRequest>(message));
    }
    m_process.ReaderStopEvent.Set();
    m_reader.request_stop();
    if (m_reader.joinable()) m_reader.join();
    // The initialisation is over: what it did not take, and what the reader received
    // after it, can only be processed by the acquisition reader now.
    m_process.ReaderHandOver.Leave({m_journal->Left(), m_assembler.UnfinishedLine()});
    m_logging = false;
}

void CFaden::RunReader(std::stop_token stop) {
    bool linkUp = false;
    ReceiveBytes(
        m_process.CurrentTransport, m_clock,
        [&](CDataBase* transport) {
            const bool up = transport != nullptr && transport->IsOpen();
            if (linkUp && !up) Report([](InitTarget& target) { target.OnLinkLost(); });
            linkUp = up;
            return m_process.ReaderStopEvent.TestAndClear() || stop.stop_requested();
        },
        [this](char byte, CDataBase&) { HandleByte(byte); });
}

void CFaden::HandleByte(char byte) {
    if (!m_assembler.Add(byte)) return;
    std::string line = m_assembler.Line();
    m_assembler.Clear();
    // As received: should it be left to the acquisition reader, that is what it would have read.
    std::string received = line;

    if (line.find(kDenied) != std::string::npos) {
        OutputWrite(kDeniedText, kColourError);
        StationProtocol::RemoveAll(line, kDenied);
        m_errorLog.WriteErrorLog(kDeniedText);
    }
    if (m_synchronised) {
        const std::uint64_t number = ++m_lineNumber;
        m_journal->Add(number, std::move(received));
        if (m_threaded)
            Post(ReceivedLine{std::move(line), number});
        else
            HandleLine(std::move(line), number);
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

void CFaden::HandleLine(std::string line, std::uint64_t number) {
    LogLine(line);
    RemoveSpaces(line);
    {
        std::lock_guard lock(m_targetMutex);
        if (m_target.expired()) return;
    }
    if (!m_awaitingReply) {
        PostDataLine(std::move(line), number);
        return;
    }
    if (const std::optional<std::string> echo = StationProtocol::EchoText(line)) {
        m_journal->Done(number);
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
    // A line that the wait for an echo drops is the initialisation's all the same.
    if (m_forwardWhileAwaiting)
        PostDataLine(std::move(line), number);
    else
        m_journal->Done(number);
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

void CFaden::PostDataLine(std::string line, std::uint64_t number) {
    const int message = m_lineMessage;
    if (message == StationProtocol::kNoLineMessage) {
        m_journal->Done(number);
        return;
    }
    Report(
        [line = std::move(line), message, number, journal = m_journal](InitTarget& target) mutable {
            if (target.OnDataLine(std::move(line), message)) journal->Done(number);
        });
}

void CFaden::LogLine(const std::string& text) {
    // Write errors are ignored: the log is only an aid.
    if (m_logging) (void)m_files.Append(m_logPath, text, false);
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
