#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "platform/TcpSocket.h"

// A TCP socket in memory. The test queues the station's bytes, closes the
// connection from the far end, or makes creation, lookup, connect or the wait
// fail. A wait with nothing to read sleeps the whole wait on the given clock.
// Single-threaded.
class FakeTcpSocket final : public TcpSocket {
public:
    explicit FakeTcpSocket(Clock* clock = nullptr) : m_clock(clock) {}

    int Create() override {
        ++creates;
        m_open = createError == 0;
        return createError;
    }
    std::optional<std::uint32_t> Resolve(const std::string& host) override {
        resolved.push_back(host);
        const auto it = addresses.find(host);
        if (it == addresses.end()) return std::nullopt;
        return it->second;
    }
    int Connect(std::uint32_t address, std::uint16_t port) override {
        connected.push_back({address, port});
        return connectError;
    }
    Wait WaitReadable(unsigned ms) override {
        waits.push_back(ms);
        if (!m_open || waitFails) return Wait::Failed;
        if (!incoming.empty() || peerClosed) return Wait::Readable;
        if (m_clock != nullptr) m_clock->SleepMs(ms);
        return Wait::TimedOut;
    }
    long Receive(char* buffer, std::size_t count) override {
        if (!m_open) return -1;
        if (incoming.empty()) return peerClosed ? 0 : -1;
        const std::size_t n = std::min(count, incoming.size());
        std::copy_n(incoming.begin(), n, buffer);
        incoming.erase(0, n);
        return static_cast<long>(n);
    }
    long Send(std::string_view bytes) override {
        if (!m_open) return -1;
        sent += bytes;
        return static_cast<long>(bytes.size());
    }
    void Close() override {
        if (m_open) ++closes;
        m_open = false;
    }
    bool IsOpen() const override { return m_open; }

    struct Endpoint {
        std::uint32_t address;
        std::uint16_t port;
        bool operator==(const Endpoint&) const = default;
    };

    int createError = 0;
    int connectError = 0;
    bool waitFails = false;
    bool peerClosed = false;
    std::map<std::string, std::uint32_t> addresses;  // what Resolve knows
    std::string incoming;

    std::vector<std::string> resolved;
    std::vector<Endpoint> connected;
    std::vector<unsigned> waits;
    std::string sent;
    int creates = 0;
    int closes = 0;

private:
    Clock* m_clock;
    bool m_open = false;
};
