#pragma once

// CDataTCP_IP is the transport over TCP.

#include <memory>
#include <string>

#include "comm/CDataBase.h"
#include "comm/TransportServices.h"
#include "platform/TcpSocket.h"

// The station link over a TCP connection (usually a network-to-serial
// converter in front of the station). Open counts only when the station has
// already sent something; waits are 2 s.
class CDataTCP_IP : public CDataBase {
public:
    // How long Open and Read wait for the station's bytes.
    static constexpr unsigned kWaitMs = 2000;

    // `socket` is the socket seam; the system's sockets when none is given.
    CDataTCP_IP(std::string host, int port, TransportServices& services,
                std::unique_ptr<TcpSocket> socket = nullptr);
    ~CDataTCP_IP() override;
    CDataTCP_IP(const CDataTCP_IP&) = delete;
    CDataTCP_IP& operator=(const CDataTCP_IP&) = delete;

    bool Open() override;
    [[nodiscard]] ReadResult Read(char* buffer, int count) override;
    int Write(const std::string& text) override;
    int Close() override;
    std::string GetDescription() const override;
    bool PurgeInput() override { return true; }
    bool IsOpen() const override;
    bool SearchBaudRate(SerialLineSettings&) override { return true; }

    const std::string& Host() const { return m_host; }
    int Port() const { return m_port; }

private:
    const std::string m_host;
    const int m_port;
    TransportServices& m_services;
    std::unique_ptr<TcpSocket> m_socket;
};
