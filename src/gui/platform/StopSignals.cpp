#include "gui/platform/StopSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>

namespace {
// Read by the signal handler: a lock-free atomic is safe to use there.
std::atomic<int> g_writeFd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnStopSignal(int) {
    const int savedErrno = errno;
    const int fd = g_writeFd.load();
    if (fd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}
}  // namespace

StopSignals::StopSignals(std::function<void()> onStop) : m_onStop(std::move(onStop)) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    m_readFd = fds[0];
    m_writeFd = fds[1];
    g_writeFd.store(m_writeFd);

    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGTERM, &action, &m_previousTerm) != 0) return;
    if (::sigaction(SIGINT, &action, &m_previousInt) != 0) {
        ::sigaction(SIGTERM, &m_previousTerm, nullptr);
        return;
    }
    m_active = true;

    m_notifier = std::make_unique<QSocketNotifier>(m_readFd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [this] { OnReadable(); });
}

StopSignals::~StopSignals() {
    if (m_active) {
        ::sigaction(SIGTERM, &m_previousTerm, nullptr);
        ::sigaction(SIGINT, &m_previousInt, nullptr);
    }
    m_notifier.reset();
    int expected = m_writeFd;
    g_writeFd.compare_exchange_strong(expected, -1);
    if (m_readFd >= 0) ::close(m_readFd);
    if (m_writeFd >= 0) ::close(m_writeFd);
}

void StopSignals::OnReadable() {
    char bytes[64];
    while (::read(m_readFd, bytes, sizeof bytes) > 0) {
    }
    // Several signals before the loop came round are one request to stop.
    if (m_onStop) m_onStop();
}
