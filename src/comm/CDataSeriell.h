#pragma once

// CDataSeriell ("serial") is the transport over a serial port.

#include <atomic>
#include <memory>
#include <string>

#include "comm/CDataBase.h"
#include "comm/TransportServices.h"
#include "model/StationSettings.h"
#include "platform/SerialPort.h"

// The station link over a serial port: opens and configures the port, moves
// bytes one read at a time with a one-second first-byte wait, and searches the
// baud rate at which the station answers.
class CDataSeriell : public CDataBase {
public:
    // How long a read waits for its first byte.
    static constexpr unsigned kFirstByteWaitMs = 1000;
    // How long one baud-search query waits for its echo.
    static constexpr unsigned kBaudTryMs = 1200;

    // `port` is the port seam; the system's serial port when none is given.
    CDataSeriell(SerialLineSettings line, TransportServices& services,
                 std::unique_ptr<SerialPort> port = nullptr);
    ~CDataSeriell() override;
    CDataSeriell(const CDataSeriell&) = delete;
    CDataSeriell& operator=(const CDataSeriell&) = delete;

    bool Open() override;
    [[nodiscard]] ReadResult Read(char* buffer, int count) override;
    int Write(const std::string& text) override;
    int WriteNow(const std::string& text) override;
    int Close() override;
    std::string GetDescription() const override;
    bool PurgeInput() override;
    bool IsOpen() const override;
    bool SearchBaudRate(SerialLineSettings& settings) override;

    // The line settings with the current baud rate.
    SerialLineSettings LineSettings() const;
    int BaudRate() const { return m_baudRate.load(); }
    // The rate the next Open uses.
    void SetBaudRate(int baudRate) { m_baudRate.store(baudRate); }

protected:
    SerialPort& Port() { return *m_port; }
    TransportServices& Services() { return m_services; }
    // One read of exactly `count` bytes with the given first-byte wait.
    [[nodiscard]] ReadResult ReadWaiting(char* buffer, int count, unsigned waitMs);

private:

    const SerialLineSettings m_line;  // everything but the rate, which changes during a search
    std::atomic<int> m_baudRate;
    TransportServices& m_services;
    std::unique_ptr<SerialPort> m_port;
};
