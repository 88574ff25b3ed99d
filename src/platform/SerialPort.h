#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

// Speed and character format of a serial line, in the station file's codes.
struct SerialFormat {
    int baudRate = 0;
    int dataBits = 0;  // 5..8
    int parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int stopBits = 0;  // 0 one, 1 one and a half (five data bits only), 2 two
};

// The modem control lines of an open port. Safe from any thread.
class ModemLines {
public:
    enum class Line { Rts, Dtr };

    virtual ~ModemLines() = default;
    // Raises or drops `line`; 0 when done, else the errno of the failure.
    virtual int Set(Line line, bool raised) = 0;
    // True while the carrier is detected.
    virtual bool Carrier() = 0;
};

// Lines kept in memory. A port without modem lines (a pseudo-terminal answers
// ENOTTY) uses these instead, so a test can watch RTS/DTR and play the carrier.
class SimulatedModemLines final : public ModemLines {
public:
    int Set(Line line, bool raised) override {
        (line == Line::Rts ? m_rts : m_dtr).store(raised);
        return 0;
    }
    bool Carrier() override { return m_carrier.load(); }

    bool IsRaised(Line line) const { return (line == Line::Rts ? m_rts : m_dtr).load(); }
    void SetCarrier(bool present) { m_carrier.store(present); }

private:
    std::atomic<bool> m_rts{false};
    std::atomic<bool> m_dtr{false};
    std::atomic<bool> m_carrier{false};
};

// One serial port, held exclusively while open. Errors are errno values.
// Read may run on one thread while Write runs on another; Open, Configure and
// Close only while no other call is in progress.
class SerialPort {
public:
    // Which step of Configure failed: reading the port's state or writing the new one.
    struct ConfigResult {
        enum class Failed { Nothing, ReadingState, WritingState };
        Failed failed = Failed::Nothing;
        int error = 0;
        explicit operator bool() const { return failed == Failed::Nothing; }
    };

    enum class ReadStatus {
        Data,      // `count` bytes (at least one) were read
        TimedOut,  // nothing arrived within the wait
        Lost,      // the device is gone (hang-up, unplugged) or the port is not open
    };
    struct ReadResult {
        ReadStatus status = ReadStatus::TimedOut;
        std::size_t count = 0;
        int error = 0;  // errno when lost
    };

    struct WriteResult {
        std::size_t written = 0;
        int error = 0;  // errno of the failure that stopped the write, 0 when all went out
    };

    virtual ~SerialPort() = default;

    // Opens the device at `path` so that no other program can open it meanwhile;
    // the line settings stay as they were. 0, or errno (EBUSY: another holds it).
    virtual int Open(const std::string& path) = 0;
    // Puts the open port in raw mode with receiver on and modem status ignored,
    // sets speed, size, parity and stop bits, and discards anything waiting.
    // A rate or code the driver has no setting for fails writing with EINVAL.
    virtual ConfigResult Configure(const SerialFormat& format) = 0;
    // Returns what is waiting, up to `count` bytes, waiting at most
    // `firstByteWaitMs` for the first one.
    virtual ReadResult Read(char* buffer, std::size_t count, unsigned firstByteWaitMs) = 0;
    // Writes every byte, or stops at the first failure.
    virtual WriteResult Write(std::string_view bytes) = 0;
    // Writes what the port takes at once and never waits: `written` falls short
    // with error 0 when the port's buffer is full (nobody reads the other end).
    virtual WriteResult WriteNow(std::string_view bytes) = 0;
    // Discards received bytes not yet read; 0 or errno.
    virtual int FlushInput() = 0;
    // The port's RTS, DTR and carrier (meaningful while open).
    virtual ModemLines& Lines() = 0;
    // Closes the port if open and lets others have it.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The output speed the port has now in baud; 0 when closed or not a known rate.
    virtual int OutputSpeed() const = 0;
};

// The device path for a port name from the settings: "COMn" and "\\.\COMn"
// name /dev/ttyS(n-1); any other name is a path and is used unchanged (after
// the "\\.\" device prefix, which no Linux path carries).
inline std::string SerialDevicePath(std::string_view portName) {
    constexpr std::string_view kDevicePrefix = "\\\\.\\";
    if (portName.starts_with(kDevicePrefix)) portName.remove_prefix(kDevicePrefix.size());
    // Windows takes "com3" as well as "COM3".
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    if (portName.size() > 3 && portName.size() <= 6 && upper(portName[0]) == 'C' &&
        upper(portName[1]) == 'O' && upper(portName[2]) == 'M') {
        int number = 0;
        for (const char c : portName.substr(3)) {
            if (c < '0' || c > '9') return std::string(portName);
            number = number * 10 + (c - '0');
        }
        if (number >= 1) return "/dev/ttyS" + std::to_string(number - 1);
    }
    return std::string(portName);
}
