#include "platform/PosixSerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <utility>

namespace {

struct BaudPair {
    int rate;
    speed_t constant;
};

constexpr BaudPair kBaudRates[] = {
    {300, B300},     {600, B600},       {1200, B1200},     {2400, B2400},
    {4800, B4800},   {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400},
};

int LastError() { return errno != 0 ? errno : EIO; }

int PollMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

std::optional<speed_t> BaudConstant(int baudRate) {
    for (const BaudPair& pair : kBaudRates)
        if (pair.rate == baudRate) return pair.constant;
    return std::nullopt;
}

int BaudFromConstant(speed_t speed) {
    for (const BaudPair& pair : kBaudRates)
        if (pair.constant == speed) return pair.rate;
    return 0;
}

int ApplyLineFormat(termios& tio, const SerialFormat& format) {
    const std::optional<speed_t> speed = BaudConstant(format.baudRate);
    if (!speed) return EINVAL;

    tcflag_t size = 0;
    switch (format.dataBits) {
        case 5:
            size = CS5;
            break;
        case 6:
            size = CS6;
            break;
        case 7:
            size = CS7;
            break;
        case 8:
            size = CS8;
            break;
        default:
            return EINVAL;
    }

    tcflag_t parity = 0;
    switch (format.parity) {
        case 0:
            parity = 0;
            break;
        case 1:
            parity = PARENB | PARODD;
            break;
        case 2:
            parity = PARENB;
            break;
        case 3:
            parity = PARENB | CMSPAR | PARODD;
            break;
        case 4:
            parity = PARENB | CMSPAR;
            break;
        default:
            return EINVAL;
    }

    tcflag_t stop = 0;
    switch (format.stopBits) {
        case 0:
            stop = 0;
            break;
        // With five data bits CSTOPB gives one and a half; other sizes have no such setting.
        case 1:
            if (format.dataBits != 5) return EINVAL;
            stop = CSTOPB;
            break;
        case 2:
            stop = CSTOPB;
            break;
        default:
            return EINVAL;
    }

    termios result = tio;
    // Station bytes must pass untouched: no echo, no line editing, no CR/LF translation.
    cfmakeraw(&result);
    result.c_cflag |= CLOCAL | CREAD;
    result.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    result.c_cflag |= size | parity | stop;
    cfsetispeed(&result, *speed);
    cfsetospeed(&result, *speed);
    tio = result;
    return 0;
}

PosixSerialPort::PosixSerialPort(std::shared_ptr<SimulatedModemLines> simulated)
    : m_lines(m_fd, simulated ? std::move(simulated) : std::make_shared<SimulatedModemLines>()) {}

PosixSerialPort::~PosixSerialPort() { Close(); }

int PosixSerialPort::Open(const std::string& path) {
    Close();
    // Non-blocking so that a port waiting for carrier does not hold up the open; it
    // stays so, and the waits are made with poll.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return LastError();
    // flock is what keeps a second opener out: TIOCEXCL does not stop root.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : LastError();
        ::close(fd);
        return error;
    }
    // Keeps out openers that do not ask for the lock; a file that is no tty ignores it.
    (void)::ioctl(fd, TIOCEXCL);
    m_fd.store(fd);
    return 0;
}

SerialPort::ConfigResult PosixSerialPort::Configure(const SerialFormat& format) {
    using Failed = ConfigResult::Failed;
    const int fd = m_fd.load();
    if (fd < 0) return {Failed::ReadingState, EBADF};
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return {Failed::ReadingState, LastError()};
    if (const int error = ApplyLineFormat(tio, format); error != 0)
        return {Failed::WritingState, error};
    if (::tcsetattr(fd, TCSANOW, &tio) != 0 && errno != EINVAL)
        return {Failed::WritingState, LastError()};
    // A pseudo-terminal keeps eight bits without parity and may answer EINVAL for
    // asking otherwise; what counts is that the speed took.
    termios now{};
    if (::tcgetattr(fd, &now) != 0) return {Failed::WritingState, LastError()};
    if (cfgetospeed(&now) != cfgetospeed(&tio) || (now.c_lflag & ICANON) != 0)
        return {Failed::WritingState, EINVAL};
    ::tcflush(fd, TCIOFLUSH);
    return {};
}

SerialPort::ReadResult PosixSerialPort::Read(char* buffer, std::size_t count,
                                             unsigned firstByteWaitMs) {
    const int fd = m_fd.load();
    if (fd < 0) return {ReadStatus::Lost, 0, EBADF};
    if (count == 0) return {ReadStatus::TimedOut, 0, 0};
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(firstByteWaitMs);
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, PollMs(deadline));
        if (ready < 0) {
            if (errno == EINTR) continue;
            return {ReadStatus::Lost, 0, LastError()};
        }
        if (ready == 0) return {ReadStatus::TimedOut, 0, 0};
        if ((p.revents & POLLIN) == 0) {
            // POLLHUP, POLLERR or POLLNVAL without data: the other side is gone.
            return {ReadStatus::Lost, 0, (p.revents & POLLNVAL) != 0 ? EBADF : EIO};
        }
        const ssize_t n = ::read(fd, buffer, count);
        if (n > 0) return {ReadStatus::Data, static_cast<std::size_t>(n), 0};
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        // A readable tty that gives nothing or EIO has been hung up.
        return {ReadStatus::Lost, 0, n < 0 ? LastError() : EIO};
    }
}

SerialPort::WriteResult PosixSerialPort::Write(std::string_view bytes) {
    WriteResult result;
    for (;;) {
        const WriteResult part = WriteNow(bytes.substr(result.written));
        result.written += part.written;
        result.error = part.error;
        if (result.error != 0 || result.written == bytes.size()) return result;
        // The port takes no more for now: wait until it does.
        pollfd p{m_fd.load(), POLLOUT, 0};
        if (::poll(&p, 1, -1) < 0 && errno != EINTR) {
            result.error = LastError();
            return result;
        }
        if ((p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            result.error = (p.revents & POLLNVAL) != 0 ? EBADF : EIO;
            return result;
        }
    }
}

SerialPort::WriteResult PosixSerialPort::WriteNow(std::string_view bytes) {
    WriteResult result;
    const int fd = m_fd.load();
    if (fd < 0) {
        result.error = EBADF;
        return result;
    }
    while (result.written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + result.written, bytes.size() - result.written);
        if (n > 0) {
            result.written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) result.error = LastError();
        if (n == 0) result.error = EIO;
        break;
    }
    return result;
}

int PosixSerialPort::FlushInput() {
    const int fd = m_fd.load();
    if (fd < 0) return EBADF;
    return ::tcflush(fd, TCIFLUSH) == 0 ? 0 : LastError();
}

void PosixSerialPort::Close() {
    const int fd = m_fd.exchange(-1);
    if (fd < 0) return;
    // The exclusive flag outlives this descriptor while anyone else keeps the tty open.
    (void)::ioctl(fd, TIOCNXCL);
    ::close(fd);
}

int PosixSerialPort::OutputSpeed() const {
    const int fd = m_fd.load();
    termios tio{};
    if (fd < 0 || ::tcgetattr(fd, &tio) != 0) return 0;
    return BaudFromConstant(cfgetospeed(&tio));
}

int PosixSerialPort::PortLines::Set(Line line, bool raised) {
    const int fd = m_fd.load();
    if (fd < 0) return EBADF;
    int bits = line == Line::Rts ? TIOCM_RTS : TIOCM_DTR;
    if (::ioctl(fd, raised ? TIOCMBIS : TIOCMBIC, &bits) == 0) return 0;
    if (errno == ENOTTY || errno == EINVAL) return m_simulated->Set(line, raised);
    return LastError();
}

bool PosixSerialPort::PortLines::Carrier() {
    const int fd = m_fd.load();
    if (fd < 0) return false;
    int bits = 0;
    if (::ioctl(fd, TIOCMGET, &bits) == 0) return (bits & TIOCM_CD) != 0;
    if (errno == ENOTTY || errno == EINVAL) return m_simulated->Carrier();
    return false;
}
