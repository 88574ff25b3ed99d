#include "comm/CDataTCP_IP.h"

#include <cstdint>
#include <optional>

#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/PosixTcpSocket.h"
#include "platform/Ui.h"

CDataTCP_IP::CDataTCP_IP(std::string host, int port, TransportServices& services,
                         std::unique_ptr<TcpSocket> socket)
    : m_host(std::move(host)),
      m_port(port),
      m_services(services),
      m_socket(socket ? std::move(socket) : std::make_unique<PosixTcpSocket>()) {}

CDataTCP_IP::~CDataTCP_IP() { CDataTCP_IP::Close(); }

bool CDataTCP_IP::Open() {
    OutputWrite("Open TCP/IP connection", kColourAction);
    // Linux sockets need no library start-up, so there is no start-up failure to report.
    if (m_socket->Create() != 0) {
        // Posted like every message of a transport, which may also be opened off
        // the user-interface thread (a reconnect); the box shows once that thread is free.
        Ui& ui = m_services.ui;
        m_services.events.Post([&ui] { ui.MessageBox("Error creating the socket", "Error"); });
        OutputWrite("Socket error", kColourError);
        return false;
    }
    const std::optional<std::uint32_t> address = m_socket->Resolve(m_host);
    // The port setting is used as a 16-bit number, whatever was stored.
    if (!address || m_socket->Connect(*address, static_cast<std::uint16_t>(m_port)) != 0) {
        m_socket->Close();
        return false;
    }
    // A station that says nothing leaves the connection standing; the caller's Close ends it.
    return m_socket->WaitReadable(kWaitMs) == TcpSocket::Wait::Readable;
}

CDataBase::ReadResult CDataTCP_IP::Read(char* buffer, int count) {
    if (!m_socket->IsOpen()) return ReadResult::Lost;
    if (count < 0) return ReadResult::TimedOut;
    switch (m_socket->WaitReadable(kWaitMs)) {
        case TcpSocket::Wait::TimedOut:
            return ReadResult::TimedOut;
        case TcpSocket::Wait::Failed:
            m_services.clock.SleepMs(kWaitMs);
            return ReadResult::Lost;
        case TcpSocket::Wait::Readable:
            break;
    }
    const long received = m_socket->Receive(buffer, static_cast<std::size_t>(count));
    if (received == count) return ReadResult::Received;
    if (received > 0) return ReadResult::TimedOut;
    // A closed or broken connection is readable at once, every time: wait as a quiet
    // one would, so the readers see silence (and their no-data time-out) without spinning.
    m_services.clock.SleepMs(kWaitMs);
    return ReadResult::Lost;
}

int CDataTCP_IP::Write(const std::string& text) {
    const long sent = m_socket->Send(text);
    OutputWrite(text, kColourCommand);
    return static_cast<int>(sent);
}

int CDataTCP_IP::Close() {
    m_socket->Close();
    return 1;
}

std::string CDataTCP_IP::GetDescription() const {
    return " IP-Addr. = " + m_host + "  Port = " + std::to_string(m_port);
}

bool CDataTCP_IP::IsOpen() const { return m_socket->IsOpen(); }
