#pragma once

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "platform/PosixSerialPort.h"
#include "platform/SerialPort.h"

// Stand-ins for the station end of a serial line: a port in memory, and a
// pseudo-terminal for tests that go through the real port.

// A serial port in memory. The test queues the station's bytes, can answer
// each write through `station`, and injects faults (open errors, a port held
// by another program, a configuration the driver refuses, a lost device). A
// read with nothing waiting sleeps the whole wait on the given clock, as the
// real first-byte wait would. Single-threaded.
class FakeSerialPort final : public SerialPort {
public:
    explicit FakeSerialPort(Clock* clock = nullptr) : m_clock(clock) {}

    int Open(const std::string& path) override {
        opened.push_back(path);
        int error = 0;
        if (!openErrors.empty()) {
            error = openErrors.front();
            openErrors.pop_front();
        }
        if (busy.count(path) != 0) error = EBUSY;
        m_open = error == 0;
        return error;
    }
    ConfigResult Configure(const SerialFormat& format) override {
        formats.push_back(format);
        return configResult;
    }
    ReadResult Read(char* buffer, std::size_t count, unsigned firstByteWaitMs) override {
        waits.push_back(firstByteWaitMs);
        if (!m_open || lost) return {ReadStatus::Lost, 0, EIO};
        if (incoming.empty()) {
            if (m_clock != nullptr) m_clock->SleepMs(firstByteWaitMs);
            return {ReadStatus::TimedOut, 0, 0};
        }
        const std::size_t n = std::min(count, incoming.size());
        std::copy_n(incoming.begin(), n, buffer);
        incoming.erase(incoming.begin(), incoming.begin() + static_cast<std::ptrdiff_t>(n));
        return {ReadStatus::Data, n, 0};
    }
    WriteResult Write(std::string_view bytes) override {
        written.emplace_back(bytes);
        writeTicks.push_back(m_clock != nullptr ? m_clock->TickMs() : 0);
        if (station) station(*this, std::string(bytes));
        return {bytes.size(), 0};
    }
    // Takes at most `writeRoom` bytes in all.
    WriteResult WriteNow(std::string_view bytes) override {
        const std::size_t n = std::min(bytes.size(), writeRoom);
        writeRoom -= n;
        return Write(bytes.substr(0, n));
    }
    int FlushInput() override {
        ++flushes;
        incoming.clear();
        return 0;
    }
    ModemLines& Lines() override { return lines; }
    void Close() override {
        if (m_open) ++closes;
        m_open = false;
    }
    bool IsOpen() const override { return m_open; }
    int OutputSpeed() const override {
        return m_open && !formats.empty() ? formats.back().baudRate : 0;
    }

    // The station side.
    void Send(std::string_view bytes) {
        incoming.insert(incoming.end(), bytes.begin(), bytes.end());
    }
    int Rate() const { return formats.empty() ? 0 : formats.back().baudRate; }

    std::function<void(FakeSerialPort&, const std::string& written)> station;
    std::deque<char> incoming;
    std::deque<int> openErrors;  // errno of each coming Open, 0 for success
    std::set<std::string> busy;  // paths another program holds
    ConfigResult configResult;
    bool lost = false;
    std::size_t writeRoom = SIZE_MAX;  // what WriteNow still takes
    SimulatedModemLines lines;

    std::vector<std::string> opened;
    std::vector<SerialFormat> formats;
    std::vector<std::string> written;
    std::vector<std::uint64_t> writeTicks;
    std::vector<unsigned> waits;
    int flushes = 0;
    int closes = 0;

private:
    Clock* m_clock;
    bool m_open = false;
};

// A pseudo-terminal: the code under test opens the slave by path, the test
// plays the station on the master. The test keeps a slave descriptor open too,
// so the code can close and reopen the port without the master seeing a hang-up.
class PtyStation {
public:
    PtyStation() {
        char name[128] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        m_path = name;
    }
    ~PtyStation() {
        HangUp();
        ::close(m_slave);
    }
    PtyStation(const PtyStation&) = delete;
    PtyStation& operator=(const PtyStation&) = delete;

    const std::string& Path() const { return m_path; }
    int Master() const { return m_master; }

    void Send(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::write(m_master, bytes.data(), bytes.size());
            if (n <= 0) return;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }
    // What the client wrote within `waitMs`, returning as soon as `expected` bytes are in.
    std::string Receive(std::size_t expected, unsigned waitMs = 2000) {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        while (got.size() < expected) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{m_master, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
            char buffer[256];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0) break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }
    // The termios the client set (master and slave share it).
    termios ClientSettings() const {
        termios tio{};
        ::tcgetattr(m_master, &tio);
        return tio;
    }
    int ClientRate() const {
        const termios tio = ClientSettings();
        return BaudFromConstant(cfgetospeed(&tio));
    }
    // The station goes away: the client's port reports a hang-up.
    void HangUp() {
        if (m_master >= 0) ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};
