#pragma once

#include <atomic>
#include <functional>

#include "platform/TcpSocket.h"

// A TCP socket through the BSD calls: getaddrinfo, connect, poll, recv, send.
class PosixTcpSocket final : public TcpSocket {
public:
    // Looks a host name up; the first IPv4 address in network byte order, or nothing.
    using NameLookup = std::function<std::optional<std::uint32_t>(const std::string& host)>;

    // `lookup` replaces the system's name lookup (a test watches it); getaddrinfo when empty.
    explicit PosixTcpSocket(NameLookup lookup = {});
    ~PosixTcpSocket() override;
    PosixTcpSocket(const PosixTcpSocket&) = delete;
    PosixTcpSocket& operator=(const PosixTcpSocket&) = delete;

    int Create() override;
    std::optional<std::uint32_t> Resolve(const std::string& host) override;
    int Connect(std::uint32_t address, std::uint16_t port) override;
    Wait WaitReadable(unsigned ms) override;
    long Receive(char* buffer, std::size_t count) override;
    long Send(std::string_view bytes) override;
    void Close() override;
    bool IsOpen() const override { return m_fd.load() >= 0; }

    // The first IPv4 address getaddrinfo gives for `host`.
    static std::optional<std::uint32_t> SystemNameLookup(const std::string& host);

private:
    NameLookup m_lookup;
    std::atomic<int> m_fd{-1};
};
