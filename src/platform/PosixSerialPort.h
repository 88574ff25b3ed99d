#pragma once

#include <termios.h>

#include <atomic>
#include <memory>
#include <optional>

#include "platform/SerialPort.h"

// A serial port through termios: exclusive open (flock, TIOCEXCL), raw mode,
// poll + read for the first-byte wait. A hang-up (POLLHUP, EIO) is a lost device.
// The descriptor stays non-blocking, so that one writer can give up on a full
// port while others wait for it through poll.
class PosixSerialPort final : public SerialPort {
public:
    // `simulated` stands in for RTS, DTR and carrier when the device has no
    // modem lines (a pseudo-terminal); a fresh set when none is given.
    explicit PosixSerialPort(std::shared_ptr<SimulatedModemLines> simulated = nullptr);
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    int Open(const std::string& path) override;
    ConfigResult Configure(const SerialFormat& format) override;
    ReadResult Read(char* buffer, std::size_t count, unsigned firstByteWaitMs) override;
    WriteResult Write(std::string_view bytes) override;
    WriteResult WriteNow(std::string_view bytes) override;
    int FlushInput() override;
    ModemLines& Lines() override { return m_lines; }
    void Close() override;
    bool IsOpen() const override { return m_fd.load() >= 0; }
    int OutputSpeed() const override;

private:
    // ioctl on the port's modem lines; the simulated set where the device has none.
    class PortLines final : public ModemLines {
    public:
        PortLines(const std::atomic<int>& fd, std::shared_ptr<SimulatedModemLines> simulated)
            : m_fd(fd), m_simulated(std::move(simulated)) {}
        int Set(Line line, bool raised) override;
        bool Carrier() override;

    private:
        const std::atomic<int>& m_fd;
        std::shared_ptr<SimulatedModemLines> m_simulated;
    };

    std::atomic<int> m_fd{-1};
    PortLines m_lines;
};

// The termios speed constant for a rate in baud (300..230400); nothing for other rates.
std::optional<speed_t> BaudConstant(int baudRate);
// The rate in baud of a termios speed constant; 0 for one not in that range.
int BaudFromConstant(speed_t speed);

// Makes `tio` raw with receiver on and modem status ignored, and sets speed,
// size, parity and stop bits from `format` (parity: mark and space through
// CMSPAR; stop code 1 is honoured only with five data bits, as the serial
// drivers this comes from did). 0, or EINVAL when the driver has no setting
// for a value; `tio` is then unchanged.
int ApplyLineFormat(termios& tio, const SerialFormat& format);
