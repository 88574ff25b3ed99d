#include "comm/CDataSeriell.h"

#include <algorithm>
#include <string_view>

#include "comm/ReceiveFilter.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/AutoResetEvent.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/FileSystem.h"
#include "platform/PosixSerialPort.h"
#include "platform/Ui.h"

namespace {

constexpr int kFirstSearchRate = 38400;
constexpr int kSearchRates = 8;
constexpr int kTriesPerRate = 3;
// The station echoes a query in angle brackets.
constexpr std::string_view kQuery = "?X";

}  // namespace

CDataSeriell::CDataSeriell(SerialLineSettings line, TransportServices& services,
                           std::unique_ptr<SerialPort> port)
    : m_line(std::move(line)),
      m_baudRate(m_line.baudRate),
      m_services(services),
      m_port(port ? std::move(port) : std::make_unique<PosixSerialPort>()) {}

CDataSeriell::~CDataSeriell() { CDataSeriell::Close(); }

bool CDataSeriell::Open() {
    if (m_port->Open(SerialDevicePath(m_line.port)) != 0) return false;
    // The first-byte wait is given with every read, so there are no time-outs to set that could
    // fail.
    const SerialPort::ConfigResult result =
        m_port->Configure({BaudRate(), m_line.dataBits, m_line.parity, m_line.stopBits});
    if (result.failed == SerialPort::ConfigResult::Failed::WritingState) {
        // A port that cannot take these settings is reported and left closed; the
        // program itself goes on (the user can correct the settings).
        const std::string text = "SetCommState failed with error " + std::to_string(result.error) +
                                 ": " + FileSystem::SystemErrorText(result.error);
        Ui& ui = m_services.ui;
        m_services.events.Post([&ui, text] { ui.MessageBox(text, "Error"); });
    }
    if (!result) {
        Close();
        return false;
    }
    m_port->Lines().Set(ModemLines::Line::Rts, true);
    return true;
}

CDataBase::ReadResult CDataSeriell::Read(char* buffer, int count) {
    if (!m_port->IsOpen()) return ReadResult::Lost;
    if (count < 0) return ReadResult::TimedOut;
    return ReadWaiting(buffer, count, kFirstByteWaitMs);
}

CDataBase::ReadResult CDataSeriell::ReadWaiting(char* buffer, int count, unsigned waitMs) {
    const SerialPort::ReadResult result =
        m_port->Read(buffer, static_cast<std::size_t>(count), waitMs);
    if (result.status == SerialPort::ReadStatus::Lost) {
        // A vanished device answers at once; wait as silence would, so the readers
        // neither spin nor miss their no-data time-out, and a reconnect can reopen.
        m_services.clock.SleepMs(waitMs);
        return ReadResult::Lost;
    }
    return result.count == static_cast<std::size_t>(count) ? ReadResult::Received
                                                           : ReadResult::TimedOut;
}

int CDataSeriell::Write(const std::string& text) {
    std::size_t written = 0;
    if (m_port->IsOpen()) written = m_port->Write(text).written;
    OutputWrite(text, kColourCommand);
    return static_cast<int>(written);
}

int CDataSeriell::WriteNow(const std::string& text) {
    std::size_t written = 0;
    if (m_port->IsOpen()) written = m_port->WriteNow(text).written;
    OutputWrite(text, kColourCommand);
    return static_cast<int>(written);
}

int CDataSeriell::Close() {
    if (m_port->IsOpen()) m_port->Close();
    return 0;
}

std::string CDataSeriell::GetDescription() const {
    return "COM = " + m_line.port + " ,Baud. = " + std::to_string(BaudRate());
}

bool CDataSeriell::PurgeInput() {
    if (m_port->IsOpen()) m_port->FlushInput();
    return true;
}

bool CDataSeriell::IsOpen() const { return m_port->IsOpen(); }

SerialLineSettings CDataSeriell::LineSettings() const {
    SerialLineSettings line = m_line;
    line.baudRate = BaudRate();
    return line;
}

bool CDataSeriell::SearchBaudRate(SerialLineSettings& settings) {
    Clock& clock = m_services.clock;
    int rate = kFirstSearchRate;
    for (int step = 0; step < kSearchRates; ++step, rate /= 2) {
        SetBaudRate(rate);
        settings.baudRate = rate;
        Close();
        if (!Open()) return false;
        for (int attempt = 0; attempt < kTriesPerRate; ++attempt) {
            PurgeInput();
            Write(std::string(kQuery) + "\r\n");
            const std::uint64_t start = clock.TickMs();
            bool inBrackets = false;
            std::string collected;
            for (;;) {
                const std::uint64_t elapsed = clock.TickMs() - start;
                if (elapsed > kBaudTryMs) break;
                // The last wait of a try stops just past its end, so a silent try
                // lasts a little over 1200 ms instead of two whole first-byte waits.
                const auto wait = static_cast<unsigned>(
                    std::min<std::uint64_t>(kFirstByteWaitMs, kBaudTryMs + 1 - elapsed));
                char byte = 0;
                const ReadResult got = ReadWaiting(&byte, 1, wait);
                if (m_services.baudSearchAbort.TestAndClear()) return false;
                if (got != ReadResult::Received) continue;
                if (!inBrackets) {
                    inBrackets = byte == '<';
                } else if (byte != '>') {
                    if (PassesReceiveFilter(byte)) collected += byte;
                } else if (collected == kQuery) {
                    Close();
                    return true;
                } else {
                    collected.clear();
                    inBrackets = false;
                }
            }
        }
    }
    return false;
}
