#include "platform/PosixTcpSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {

int LastError() { return errno != 0 ? errno : EIO; }

}  // namespace

PosixTcpSocket::PosixTcpSocket(NameLookup lookup)
    : m_lookup(lookup ? std::move(lookup) : NameLookup(&PosixTcpSocket::SystemNameLookup)) {}

PosixTcpSocket::~PosixTcpSocket() { Close(); }

int PosixTcpSocket::Create() {
    Close();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) return LastError();
    m_fd.store(fd);
    return 0;
}

std::optional<std::uint32_t> PosixTcpSocket::Resolve(const std::string& host) {
    in_addr address{};
    if (::inet_pton(AF_INET, host.c_str(), &address) == 1) return address.s_addr;
    return m_lookup(host);
}

std::optional<std::uint32_t> PosixTcpSocket::SystemNameLookup(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return std::nullopt;
    const std::uint32_t address =
        reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
    return address;
}

int PosixTcpSocket::Connect(std::uint32_t address, std::uint16_t port) {
    const int fd = m_fd.load();
    if (fd < 0) return EBADF;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = address;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) return 0;
    // A signal cut the wait short; the connection goes on being made in the background.
    if (errno == EINTR) {
        pollfd p{fd, POLLOUT, 0};
        while (::poll(&p, 1, -1) < 0 && errno == EINTR) {
        }
        int error = 0;
        socklen_t size = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return LastError();
        return error;
    }
    return LastError();
}

TcpSocket::Wait PosixTcpSocket::WaitReadable(unsigned ms) {
    const int fd = m_fd.load();
    if (fd < 0) return Wait::Failed;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || (p.revents & POLLNVAL) != 0) return Wait::Failed;
        // A reset or a closed peer counts as readable: the receive then tells which.
        return ready == 0 ? Wait::TimedOut : Wait::Readable;
    }
}

long PosixTcpSocket::Receive(char* buffer, std::size_t count) {
    const int fd = m_fd.load();
    if (fd < 0) return -1;
    for (;;) {
        const ssize_t n = ::recv(fd, buffer, count, 0);
        if (n < 0 && errno == EINTR) continue;
        return static_cast<long>(n);
    }
}

long PosixTcpSocket::Send(std::string_view bytes) {
    const int fd = m_fd.load();
    if (fd < 0) return -1;
    for (;;) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        return static_cast<long>(n);
    }
}

void PosixTcpSocket::Close() {
    const int fd = m_fd.exchange(-1);
    if (fd >= 0) ::close(fd);
}
