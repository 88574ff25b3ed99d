#include "LocalHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace {

// A client that sends nothing is given up after this long, so the thread stays free.
constexpr int kReadTimeoutMs = 2000;

std::string Reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

int ListenOnLoopback(std::uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) std::abort();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        std::abort();
    port = ntohs(address.sin_port);
    return fd;
}

// The declared body length of a request header, 0 when it names none.
std::size_t ContentLength(const std::string& header) {
    for (const char* name : {"\r\nContent-Length: ", "\r\ncontent-length: "}) {
        const std::size_t at = header.find(name);
        if (at != std::string::npos) return std::strtoul(header.c_str() + at + 18, nullptr, 10);
    }
    return 0;
}

}  // namespace

LocalHttpServer::LocalHttpServer() {
    m_listener = ListenOnLoopback(m_port);
    if (::pipe2(m_wake, O_CLOEXEC) != 0) std::abort();
    m_answer = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    m_thread = std::jthread([this](std::stop_token stop) { Serve(stop); });
}

LocalHttpServer::~LocalHttpServer() {
    m_thread.request_stop();
    const char byte = 0;
    (void)::write(m_wake[1], &byte, 1);
    m_thread.join();
    for (const int fd : m_silent) ::close(fd);
    ::close(m_listener);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

std::string LocalHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void LocalHttpServer::AnswerWith(int status, const std::string& body) {
    AnswerRaw("HTTP/1.1 " + std::to_string(status) + " " + Reason(status) + "\r\nContent-Length: " +
              std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
}

void LocalHttpServer::AnswerRaw(const std::string& bytes) {
    std::lock_guard lock(m_mutex);
    m_mode = Mode::Answer;
    m_answer = bytes;
}

void LocalHttpServer::NeverAnswer() {
    std::lock_guard lock(m_mutex);
    m_mode = Mode::Silent;
}

void LocalHttpServer::CloseAtOnce() {
    std::lock_guard lock(m_mutex);
    m_mode = Mode::Close;
}

std::vector<std::string> LocalHttpServer::Requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

bool LocalHttpServer::WaitForRequests(std::size_t count, unsigned ms) const {
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, std::chrono::milliseconds(ms),
                              [&] { return m_requests.size() >= count; });
}

std::uint16_t LocalHttpServer::ClosedPort() {
    std::uint16_t port = 0;
    ::close(ListenOnLoopback(port));
    return port;
}

void LocalHttpServer::Serve(std::stop_token stop) {
    while (!stop.stop_requested()) {
        pollfd p[2] = {{m_listener, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) continue;
        if ((p[1].revents & POLLIN) != 0) break;
        if ((p[0].revents & POLLIN) == 0) continue;
        const int peer = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (peer >= 0) Handle(peer);
    }
}

void LocalHttpServer::Handle(int peer) {
    Mode mode;
    std::string answer;
    {
        std::lock_guard lock(m_mutex);
        mode = m_mode;
        answer = m_answer;
    }
    if (mode == Mode::Close) {
        ::close(peer);
        return;
    }

    std::string request;
    std::size_t headerEnd = std::string::npos;
    for (;;) {
        if (headerEnd == std::string::npos) headerEnd = request.find("\r\n\r\n");
        if (headerEnd != std::string::npos &&
            request.size() >= headerEnd + 4 + ContentLength(request.substr(0, headerEnd + 2)))
            break;
        pollfd p{peer, POLLIN, 0};
        if (::poll(&p, 1, kReadTimeoutMs) != 1) break;
        char buffer[4096];
        const ssize_t n = ::recv(peer, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
    }
    m_arrived.notify_all();

    if (mode == Mode::Silent) {
        m_silent.push_back(peer);
        return;
    }
    std::size_t sent = 0;
    while (sent < answer.size()) {
        const ssize_t n = ::send(peer, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    // Let the client read everything before the close can reset the connection.
    ::shutdown(peer, SHUT_WR);
    ::close(peer);
}
