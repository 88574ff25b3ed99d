#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One blocking IPv4 TCP connection. Errors are errno values. Receive may run on
// one thread while Send runs on another; the other calls only while neither runs.
class TcpSocket {
public:
    enum class Wait { Readable, TimedOut, Failed };

    virtual ~TcpSocket() = default;

    // Makes a fresh stream socket (closing any earlier one); 0 or errno.
    virtual int Create() = 0;
    // The host's IPv4 address in network byte order. A dotted address is taken
    // as it is, never looked up by name; otherwise the first IPv4 address the
    // name has. Nothing when the name is unknown.
    virtual std::optional<std::uint32_t> Resolve(const std::string& host) = 0;
    // Connects the socket; 0 or errno.
    virtual int Connect(std::uint32_t address, std::uint16_t port) = 0;
    // Waits at most `ms` until data (or the peer's close) can be received.
    virtual Wait WaitReadable(unsigned ms) = 0;
    // Receives up to `count` bytes: how many, 0 when the peer has closed, -1 on error.
    virtual long Receive(char* buffer, std::size_t count) = 0;
    // One send: the bytes it took, or -1 on error or without a socket. A peer
    // that has gone gives -1, never a signal.
    virtual long Send(std::string_view bytes) = 0;
    // Closes the socket if there is one.
    virtual void Close() = 0;
    // True while there is a socket (connected or not).
    virtual bool IsOpen() const = 0;
};
