#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// The program's end of the link, reduced to lines: opens the pty slave the way
// the serial transport does (raw, given rate, input flushed) or connects to the
// TCP port, writes commands and reads whole lines with a time-out.
class StationClient {
public:
    static StationClient Pty(const std::string& path, speed_t speed = B9600) {
        StationClient client(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
        termios settings{};
        if (client.m_fd >= 0 && ::tcgetattr(client.m_fd, &settings) == 0) {
            ::cfmakeraw(&settings);
            settings.c_cflag |= CLOCAL | CREAD;
            ::cfsetispeed(&settings, speed);
            ::cfsetospeed(&settings, speed);
            ::tcsetattr(client.m_fd, TCSANOW, &settings);
            ::tcflush(client.m_fd, TCIOFLUSH);
        }
        return client;
    }

    static StationClient Tcp(int port) {
        StationClient client(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(client.m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            client.Close();
        }
        return client;
    }

    StationClient(StationClient&& other) noexcept : m_fd(other.m_fd), m_buffer(other.m_buffer) {
        other.m_fd = -1;
    }
    StationClient& operator=(StationClient&&) = delete;
    ~StationClient() { Close(); }

    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }
    void Close() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

    bool Send(const std::string& command) {
        const std::string bytes = command + "\r\n";
        return ::write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // The next line with its CR LF, or nullopt after `timeout` or when the link ends.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (const auto end = m_buffer.find('\n'); end != std::string::npos) {
                std::string line = m_buffer.substr(0, end + 1);
                m_buffer.erase(0, end + 1);
                return line;
            }
            if (!Fill(deadline)) return std::nullopt;
        }
    }

    // Lines until the first one for which `stop` is true (included), or nullopt.
    template <typename Predicate>
    std::optional<std::vector<std::string>> ReadUntil(Predicate stop,
                                                      std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::vector<std::string> lines;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            auto line = ReadLine(std::max(left, std::chrono::milliseconds(0)));
            if (!line) return std::nullopt;
            lines.push_back(*line);
            if (stop(*line)) return lines;
        }
    }

    // Every byte that arrives within `period`.
    std::string Drain(std::chrono::milliseconds period) {
        const auto deadline = std::chrono::steady_clock::now() + period;
        while (Fill(deadline)) {
        }
        std::string bytes;
        bytes.swap(m_buffer);
        return bytes;
    }

    // True when the peer ends the link within `timeout`; what arrives until then is dropped.
    bool WaitForEnd(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            pollfd fd = {m_fd, POLLIN, 0};
            if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) return false;
            char bytes[4096];
            if (::read(m_fd, bytes, sizeof bytes) <= 0) return true;
        }
    }

    // poll() result flags of a 0 ms poll: shows a hang-up without reading.
    short Events() const {
        pollfd fd = {m_fd, POLLIN, 0};
        ::poll(&fd, 1, 0);
        return fd.revents;
    }

private:
    explicit StationClient(int fd) : m_fd(fd) {}

    bool Fill(std::chrono::steady_clock::time_point deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (m_fd < 0 || left.count() <= 0) return false;
        pollfd fd = {m_fd, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) return false;
        char bytes[4096];
        const ssize_t count = ::read(m_fd, bytes, sizeof bytes);
        if (count <= 0) return false;
        m_buffer.append(bytes, static_cast<std::size_t>(count));
        return true;
    }

    int m_fd;
    std::string m_buffer;
};
