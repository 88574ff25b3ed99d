#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ManualClock.h"
#include "comm/CDataBase.h"
#include "comm/TransportFactory.h"
#include "model/StationSettings.h"

// A transport that records what it was built from and what was done with it.
class FakeTransport final : public CDataBase {
public:
    explicit FakeTransport(std::string description) : description(std::move(description)) {}

    bool Open() override { return open = openSucceeds; }
    [[nodiscard]] ReadResult Read(char*, int) override {
        return open ? ReadResult::TimedOut : ReadResult::Lost;
    }
    int Write(const std::string& text) override {
        written.push_back(text);
        return static_cast<int>(text.size());
    }
    int Close() override {
        open = false;
        ++closes;
        return 0;
    }
    std::string GetDescription() const override { return description; }
    bool PurgeInput() override { return true; }
    bool IsOpen() const override { return open; }
    bool SearchBaudRate(SerialLineSettings&) override { return true; }

    std::string description;
    bool openSucceeds = true;
    bool open = false;
    int closes = 0;
    std::vector<std::string> written;
};

// Builds fake transports described by their settings ("serial COM1 9600 8 0 2").
class FakeTransportFactory final : public TransportFactory {
public:
    std::shared_ptr<CDataBase> MakeSerial(const SerialLineSettings& l) override {
        return Made("serial " + l.port + " " + std::to_string(l.baudRate) + " " +
                    std::to_string(l.dataBits) + " " + std::to_string(l.parity) + " " +
                    std::to_string(l.stopBits));
    }
    std::shared_ptr<CDataBase> MakeTcp(const std::string& address, int port) override {
        return Made("tcp " + address + " " + std::to_string(port));
    }
    std::shared_ptr<CDataBase> MakeModem(const ModemSettings& m) override {
        return Made("modem " + m.line.port + " " + std::to_string(m.line.baudRate) + " " +
                    m.dialCommand + m.phoneNumber + m.dialTerminator);
    }
    std::vector<std::string> made;

private:
    std::shared_ptr<CDataBase> Made(std::string description) {
        made.push_back(description);
        return std::make_shared<FakeTransport>(std::move(description));
    }
};

// A transport that hands out the bytes a test feeds it, one per read. With
// nothing waiting a read times out after the first-byte wait (or reports the
// link lost once the test said so): on a manual clock the wait advances the
// clock, otherwise it is a short real sleep. Safe to feed from the test thread
// while a reader thread reads.
class ByteFeedTransport final : public CDataBase {
public:
    explicit ByteFeedTransport(ManualClock* clock = nullptr, unsigned waitMs = 1000)
        : m_clock(clock), m_waitMs(waitMs) {}

    void Feed(const std::string& bytes) {
        std::lock_guard lock(m_mutex);
        m_incoming.insert(m_incoming.end(), bytes.begin(), bytes.end());
    }
    std::vector<std::string> Written() const {
        std::lock_guard lock(m_mutex);
        return m_written;
    }
    // Bytes fed and not yet read.
    std::size_t Waiting() const {
        std::lock_guard lock(m_mutex);
        return m_incoming.size();
    }
    void SetWriteResult(int result) {
        std::lock_guard lock(m_mutex);
        m_writeResult = result;
    }

    bool Open() override { return m_open = true; }
    [[nodiscard]] ReadResult Read(char* buffer, int count) override {
        {
            std::lock_guard lock(m_mutex);
            if (count == 1 && !m_incoming.empty()) {
                *buffer = m_incoming.front();
                m_incoming.pop_front();
                return ReadResult::Received;
            }
        }
        if (m_clock != nullptr)
            m_clock->Advance(m_waitMs);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return lost ? ReadResult::Lost : ReadResult::TimedOut;
    }
    int Write(const std::string& text) override {
        std::lock_guard lock(m_mutex);
        m_written.push_back(text);
        return m_writeResult < 0 ? static_cast<int>(text.size()) : m_writeResult;
    }
    int Close() override {
        m_open = false;
        return 0;
    }
    std::string GetDescription() const override { return "feed"; }
    bool PurgeInput() override {
        std::lock_guard lock(m_mutex);
        m_incoming.clear();
        ++purges;
        return true;
    }
    bool IsOpen() const override { return m_open; }
    bool SearchBaudRate(SerialLineSettings&) override { return true; }

    std::atomic<int> purges{0};
    std::atomic<bool> lost{false};  // once the bytes fed are read, the link is gone

private:
    ManualClock* m_clock;
    unsigned m_waitMs;
    std::atomic<bool> m_open{true};
    mutable std::mutex m_mutex;
    std::deque<char> m_incoming;
    std::vector<std::string> m_written;
    int m_writeResult = -1;
};
