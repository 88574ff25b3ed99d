#include "sim/Station.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace orbsim {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Output that nobody takes for this long is thrown away, so a program that opens
// the port later starts with fresh lines, not with what piled up meanwhile.
constexpr auto kStaleOutput = std::chrono::seconds(1);
constexpr std::size_t kMaxPendingOutput = 16 * 1024;
constexpr std::size_t kMaxHeldLines = 10000;
constexpr std::size_t kMaxCommandLength = 1024;
constexpr int kMaxPollMs = 200;

// Bytes the program's receive filter drops: control characters other than
// LF, CR, BEL and 0x1F (the storage marker), and bytes above 0x7F.
constexpr unsigned char kGarbageBytes[] = {0x00, 0x01, 0x02, 0x08, 0x0B, 0x0E, 0x1B,
                                           0x80, 0x9F, 0xA0, 0xB0, 0xC3, 0xE4, 0xFF};

double PcNow() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int SpeedToBaud(speed_t speed) {
    static constexpr struct {
        speed_t speed;
        int baud;
    } kRates[] = {{B50, 50},         {B75, 75},         {B110, 110},       {B134, 134},
                  {B150, 150},       {B200, 200},       {B300, 300},       {B600, 600},
                  {B1200, 1200},     {B1800, 1800},     {B2400, 2400},     {B4800, 4800},
                  {B9600, 9600},     {B19200, 19200},   {B38400, 38400},   {B57600, 57600},
                  {B115200, 115200}, {B230400, 230400}, {B460800, 460800}, {B921600, 921600}};
    for (const auto& rate : kRates) {
        if (rate.speed == speed) return rate.baud;
    }
    return 0;
}

std::optional<int> WholeNumber(std::string_view text) {
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc{} || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Points `link` at `target` in one step, so a reader never finds it missing.
bool ReplaceSymlink(const std::string& target, const std::string& link, std::string& error) {
    const std::string temporary = link + ".orbsim-" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0 ||
        ::rename(temporary.c_str(), link.c_str()) != 0) {
        error = "cannot create link " + link + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

Station::Station(StationOptions options)
    : m_options(std::move(options)),
      m_model(m_options.seed),
      m_modem(m_options.modem),
      m_offset(m_options.clockOffset),
      m_interval(std::max(1, m_options.storageInterval)),
      m_resetHour(m_options.resetHour),
      m_altitude(m_options.altitude),
      m_faults(m_options.faults),
      m_random(m_options.seed ^ 0x5DEECE66Dull) {}

Station::~Station() { Stop(); }

bool Station::Start(std::string* error) {
    PinLocalZone();  // before the serving thread formats its first time
    std::unique_lock lock(m_mutex);
    if (m_running) return true;
    std::string reason;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0) {
        if (error) *error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    m_wakeRead = pipeFds[0];
    m_wakeWrite = pipeFds[1];
    const bool opened = m_options.link == LinkKind::kPty ? OpenPty(reason) : OpenListener(reason);
    if (!opened) {
        CloseFd(m_wakeRead);
        CloseFd(m_wakeWrite);
        if (error) *error = reason;
        return false;
    }
    m_started = Clock::now();
    m_silentAfterDone = m_disconnectAfterDone = m_down = m_disconnectRequested = false;
    const double now = StationNowExact();
    const double cycle = std::max(0.01, m_options.cycleSeconds);
    m_nextTick = (std::floor(now / cycle) + 1.0) * cycle;
    m_lastKey = BoundaryKey(static_cast<std::time_t>(std::floor(now)));
    if (m_logger.empty()) PrefillLogger(static_cast<std::time_t>(std::floor(now)));
    m_running = true;
    lock.unlock();
    m_thread = std::jthread([this](std::stop_token stop) { Serve(stop); });
    return true;
}

void Station::Stop() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_running) return;
        m_thread.request_stop();
        Wake();
    }
    if (m_thread.joinable()) m_thread.join();
    std::lock_guard lock(m_mutex);
    CloseLink();
    if (!m_options.linkPath.empty()) ::unlink(m_options.linkPath.c_str());
    CloseFd(m_wakeRead);
    CloseFd(m_wakeWrite);
    m_replaying = false;
    m_replay.clear();
    m_heldLines.clear();
    m_running = false;
}

std::string Station::DevicePath() const {
    std::lock_guard lock(m_mutex);
    return m_devicePath;
}

int Station::TcpPort() const {
    std::lock_guard lock(m_mutex);
    return m_port;
}

bool Station::Connected() const {
    std::lock_guard lock(m_mutex);
    return m_connected;
}

int Station::LineBaudRate() const {
    std::lock_guard lock(m_mutex);
    termios settings{};
    if (m_master < 0 || ::tcgetattr(m_master, &settings) != 0) return 0;
    return SpeedToBaud(::cfgetospeed(&settings));
}

std::vector<std::string> Station::ReceivedCommands() const {
    std::lock_guard lock(m_mutex);
    return m_received;
}

void Station::ClearReceivedCommands() {
    std::lock_guard lock(m_mutex);
    m_received.clear();
}

bool Station::WaitForCommand(std::string_view prefix, milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_commandArrived.wait_for(lock, timeout, [&] {
        return std::any_of(m_received.begin(), m_received.end(),
                           [&](const std::string& command) { return command.starts_with(prefix); });
    });
}

std::size_t Station::RecordLinesSent() const {
    std::lock_guard lock(m_mutex);
    return m_recordLinesSent;
}

std::time_t Station::StationTime() const {
    std::lock_guard lock(m_mutex);
    return static_cast<std::time_t>(std::floor(StationNowExact()));
}

void Station::SetStationTime(std::time_t time) {
    std::lock_guard lock(m_mutex);
    SetClock(time);
    Wake();
}

int Station::StorageInterval() const {
    std::lock_guard lock(m_mutex);
    return m_interval;
}

int Station::ResetHour() const {
    std::lock_guard lock(m_mutex);
    return m_resetHour;
}

int Station::Altitude() const {
    std::lock_guard lock(m_mutex);
    return m_altitude;
}

std::vector<LoggerRecord> Station::LoggerRecords() const {
    std::lock_guard lock(m_mutex);
    return {m_logger.begin(), m_logger.end()};
}

bool Station::ModemCarrier() const {
    std::lock_guard lock(m_mutex);
    return m_modem.Carrier();
}

std::vector<std::string> Station::ModemCommands() const {
    std::lock_guard lock(m_mutex);
    return m_modem.Commands();
}

int Station::ModemConnectionLimit() const {
    std::lock_guard lock(m_mutex);
    return m_modem.ConnectionLimit();
}

void Station::DropCall() {
    std::lock_guard lock(m_mutex);
    SendFromModem(m_modem.DropCall());
    Log("the call was dropped");
    Wake();
}

Faults Station::GetFaults() const {
    std::lock_guard lock(m_mutex);
    return m_faults;
}

void Station::SetFaults(Faults faults) {
    std::lock_guard lock(m_mutex);
    m_faults = std::move(faults);
    Wake();
}

void Station::SetSilent(bool silent) {
    std::lock_guard lock(m_mutex);
    m_faults.silent = silent;
    Wake();
}

void Station::AddCommandFault(CommandFault fault) {
    std::lock_guard lock(m_mutex);
    m_faults.commands.push_back(std::move(fault));
}

void Station::Disconnect(milliseconds downtime) {
    std::lock_guard lock(m_mutex);
    m_disconnectRequested = true;
    m_requestedDowntime = downtime;
    Wake();
}

// ---- serving thread ----

void Station::Serve(std::stop_token stop) {
    std::unique_lock lock(m_mutex);
    while (!stop.stop_requested()) {
        RunDueWork();
        pollfd fds[2] = {{m_wakeRead, POLLIN, 0}, {-1, 0, 0}};
        bool listening = false;
        if (m_master >= 0) {
            fds[1].fd = m_master;
        } else if (m_client >= 0) {
            fds[1].fd = m_client;
        } else if (m_listener >= 0) {
            fds[1].fd = m_listener;
            listening = true;
        }
        if (fds[1].fd >= 0) {
            fds[1].events = POLLIN;
            if (!listening && !m_output.empty()) fds[1].events |= POLLOUT;
        }
        const int timeout = NextWakeMs();
        lock.unlock();
        const int ready = ::poll(fds, 2, timeout);
        lock.lock();
        if (ready <= 0) continue;
        if (fds[0].revents != 0) {
            char drain[64];
            while (::read(m_wakeRead, drain, sizeof drain) > 0) {
            }
        }
        const int fd = fds[1].fd;
        if (fd < 0 || fds[1].revents == 0) continue;
        if (listening) {
            const int client =
                ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (client < 0) continue;
            m_client = client;
            m_connected = true;
            m_input.clear();
            m_output.clear();
            Log("client connected");
            SendLine("\r\n", false);
            continue;
        }
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) HandleReadable(fd);
        if ((fds[1].revents & POLLOUT) && (fd == m_master || fd == m_client)) Flush();
    }
}

void Station::RunDueWork() {
    const auto now = Clock::now();
    const double elapsed = std::chrono::duration<double>(now - m_started).count();
    if (m_options.silentAfterSeconds > 0 && !m_silentAfterDone &&
        elapsed >= m_options.silentAfterSeconds) {
        m_silentAfterDone = true;
        m_faults.silent = true;
        Log("silent from now on");
    }
    if (m_options.disconnectAfterSeconds > 0 && !m_disconnectAfterDone &&
        elapsed >= m_options.disconnectAfterSeconds) {
        m_disconnectAfterDone = true;
        m_disconnectRequested = true;
        m_requestedDowntime = milliseconds(std::lround(m_options.disconnectDownSeconds * 1000));
    }
    if (m_disconnectRequested) {
        m_disconnectRequested = false;
        HangUp();
    }
    if (m_down && now >= m_downUntil) {
        std::string error;
        const bool opened = m_options.link == LinkKind::kPty ? OpenPty(error) : OpenListener(error);
        if (opened) {
            m_down = false;
            Log(m_options.link == LinkKind::kPty
                    ? "serving on " + m_devicePath
                    : "listening again on port " + std::to_string(m_port));
        } else {
            m_downUntil = now + milliseconds(100);
            Log(error);
        }
    }

    const double cycle = std::max(0.01, m_options.cycleSeconds);
    const double station = StationNowExact();
    if (m_nextTick - station > cycle + 1.0) {
        m_nextTick = (std::floor(station / cycle) + 1.0) * cycle;  // the PC clock went back
    }
    if (station >= m_nextTick) {
        Cycle(m_nextTick);
        m_nextTick = (std::floor(station / cycle) + 1.0) * cycle;
    }

    if (m_replaying && now >= m_nextReplay) {
        if (!m_replay.empty()) {
            const LoggerRecord record = std::move(m_replay.front());
            m_replay.pop_front();
            SendLine(
                FormatRecordLine(record.time, record.readings, true, !m_faults.noTrailingComma),
                true);
        }
        if (m_replay.empty()) {
            EndReplay();
        } else {
            m_nextReplay = now + milliseconds(std::max(0, m_options.replayPaceMs));
        }
    }

    if (m_options.modem.enabled) SendFromModem(m_modem.Tick(now));

    if (!m_output.empty() && now - m_outputBlockedSince > kStaleOutput) m_output.clear();
}

int Station::NextWakeMs() const {
    const auto now = Clock::now();
    double ms = (m_nextTick - StationNowExact()) * 1000.0;
    auto until = [&](Clock::time_point when) {
        ms = std::min(ms, std::chrono::duration<double, std::milli>(when - now).count());
    };
    if (m_replaying) until(m_nextReplay);
    if (m_down) until(m_downUntil);
    if (!m_output.empty()) ms = std::min(ms, 100.0);
    if (m_options.modem.enabled) {
        if (const auto due = m_modem.NextDue()) until(*due);
    }
    const auto after = [&](double seconds) {
        return m_started +
               std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    };
    if (m_options.silentAfterSeconds > 0 && !m_silentAfterDone) {
        until(after(m_options.silentAfterSeconds));
    }
    if (m_options.disconnectAfterSeconds > 0 && !m_disconnectAfterDone) {
        until(after(m_options.disconnectAfterSeconds));
    }
    return static_cast<int>(std::clamp(std::ceil(ms), 0.0, static_cast<double>(kMaxPollMs)));
}

void Station::HandleReadable(int fd) {
    char buffer[4096];
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count == 0 || (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
        // On the pty the station holds the slave itself, so only a TCP peer goes away.
        if (fd == m_client) CloseClient();
        return;
    }
    std::string_view bytes(buffer, static_cast<std::size_t>(count));
    std::string forStation;
    if (m_options.modem.enabled) {
        Modem::Passed passed = m_modem.Receive(bytes, Clock::now());
        SendFromModem(std::move(passed.toProgram));
        forStation = std::move(passed.toStation);
        bytes = forStation;
    }
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (!m_input.empty()) {
                const std::string command = std::move(m_input);
                m_input.clear();
                HandleCommand(command);
                // A command may have closed the link (it cannot today, but stay safe).
                if (fd != m_master && fd != m_client) return;
            }
        } else if (m_input.size() < kMaxCommandLength) {
            m_input += c;
        }
    }
}

void Station::HandleCommand(const std::string& command) {
    m_received.push_back(command);
    m_commandArrived.notify_all();
    Log("<- " + command);

    if (command == "?X" && m_master >= 0) {
        termios settings{};
        const int baud =
            ::tcgetattr(m_master, &settings) == 0 ? SpeedToBaud(::cfgetospeed(&settings)) : 0;
        if (baud != m_options.baudRate) {
            Log("   line at " + std::to_string(baud) + " baud, no answer");
            return;
        }
    }

    CommandFaultKind fault{};
    if (MatchFault(command, fault)) {
        switch (fault) {
            case CommandFaultKind::kNoEcho:
                break;
            case CommandFaultKind::kWrongEcho:
                SendLine(command == "!Q" ? "<!W>\r\n" : "<!Q>\r\n", false);
                break;
            case CommandFaultKind::kDenied:
                SendLine("DENIED: <" + command + ">\r\n", false);
                break;
        }
        return;
    }
    SendLine("<" + command + ">\r\n", false);
    CarryOut(command);
}

bool Station::MatchFault(const std::string& command, CommandFaultKind& kind) {
    for (auto it = m_faults.commands.begin(); it != m_faults.commands.end(); ++it) {
        if (!command.starts_with(it->prefix)) continue;
        kind = it->kind;
        if (it->times > 0 && --it->times == 0) m_faults.commands.erase(it);
        return true;
    }
    return false;
}

void Station::CarryOut(const std::string& command) {
    const std::string_view text = command;
    auto number = [&](std::size_t prefix) { return WholeNumber(text.substr(prefix)); };
    if (text.starts_with("!U")) {
        if (const auto time = ParseCommandTime(text.substr(2))) SetClock(*time);
    } else if (text.starts_with("!ZS")) {
        if (const auto n = number(3); n && *n > 0) SetInterval(*n);
    } else if (text.starts_with("!ZD")) {
        if (const auto n = number(3); n && *n > 0) SetInterval(2 * *n);
    } else if (text.starts_with("!Z")) {
        if (const auto n = number(2); n && *n > 0) SetInterval(10 * *n);
    } else if (text == "!R") {
        m_manualRainReset = static_cast<std::time_t>(std::floor(StationNowExact()));
    } else if (text.starts_with("!R")) {
        if (const auto n = number(2); n && *n >= 0 && *n <= 23) m_resetHour = *n;
    } else if (text.starts_with("!O")) {
        if (const auto n = number(2)) m_altitude = *n;
    } else if (text == "!N") {
        m_logger.clear();
    } else if (text == "!C") {
        EndReplay();
    } else if (text.starts_with("?D")) {
        if (const auto time = ParseCommandTime(text.substr(2))) StartReplay(*time);
    }
    // "!P" and anything unknown: the echo is all.
}

void Station::Cycle(double tick) {
    const auto time = static_cast<std::time_t>(std::floor(tick + 1e-6));
    const std::int64_t key = BoundaryKey(time);
    const bool store = key != m_lastKey;
    m_lastKey = key;
    std::vector<Reading> readings = ReadingsAt(time);
    std::string line = FormatRecordLine(time, readings, store, !m_faults.noTrailingComma);
    if (store && m_options.logger) StoreInLogger({time, std::move(readings)});
    if (m_replaying) {
        if (m_heldLines.size() < kMaxHeldLines) m_heldLines.push_back(std::move(line));
    } else {
        SendLine(std::move(line), true);
    }
}

void Station::SendLine(std::string bytes, bool record) {
    if (m_faults.silent || (m_master < 0 && m_client < 0)) return;
    // Behind a modem the station is heard only while the call is up.
    if (m_options.modem.enabled && !m_modem.DataMode()) return;
    if (m_faults.garbage) AddGarbage(bytes);
    if (record) ++m_recordLinesSent;
    if (!m_output.empty()) {
        if (m_output.size() + bytes.size() <= kMaxPendingOutput) m_output += bytes;
        return;
    }
    m_output = std::move(bytes);
    m_outputBlockedSince = Clock::now();
    Flush();
}

void Station::SendFromModem(std::string bytes) {
    if (bytes.empty() || (m_master < 0 && m_client < 0)) return;
    Log("modem replies " + std::to_string(bytes.size()) + " bytes");
    if (m_output.empty()) m_outputBlockedSince = Clock::now();
    if (m_output.size() + bytes.size() <= kMaxPendingOutput) m_output += bytes;
    Flush();
}

void Station::Flush() {
    const int fd = m_master >= 0 ? m_master : m_client;
    if (fd < 0) {
        m_output.clear();
        return;
    }
    while (!m_output.empty()) {
        const ssize_t written = fd == m_client
                                    ? ::send(fd, m_output.data(), m_output.size(), MSG_NOSIGNAL)
                                    : ::write(fd, m_output.data(), m_output.size());
        if (written > 0) {
            m_output.erase(0, static_cast<std::size_t>(written));
            m_outputBlockedSince = Clock::now();
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        if (fd == m_client) {
            CloseClient();
        } else {
            m_output.clear();
        }
        return;
    }
}

void Station::AddGarbage(std::string& bytes) {
    auto next = [this] {
        m_random += 0x9E3779B97F4A7C15ull;
        std::uint64_t x = m_random;
        x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
        x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
        return x ^ (x >> 31);
    };
    const int count = 1 + static_cast<int>(next() % 3);
    for (int i = 0; i < count; ++i) {
        // Before the final LF, so the garbage stays inside the line it belongs to.
        const std::size_t at = bytes.empty() ? 0 : next() % bytes.size();
        const auto byte = kGarbageBytes[next() % std::size(kGarbageBytes)];
        bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), static_cast<char>(byte));
    }
}

void Station::StartReplay(std::time_t after) {
    if (!m_options.logger) return;
    m_replay.clear();
    for (const LoggerRecord& record : m_logger) {
        if (record.time > after) m_replay.push_back(record);
    }
    // Clock changes may have left the logger out of order; the replay goes oldest first.
    std::stable_sort(m_replay.begin(), m_replay.end(),
                     [](const LoggerRecord& a, const LoggerRecord& b) { return a.time < b.time; });
    if (m_replay.empty()) {
        EndReplay();
        return;
    }
    m_replaying = true;
    m_nextReplay = Clock::now() + milliseconds(std::max(0, m_options.replayPaceMs));
}

void Station::EndReplay() {
    m_replay.clear();
    m_replaying = false;
    std::deque<std::string> held;
    held.swap(m_heldLines);
    for (std::string& line : held) SendLine(std::move(line), true);
}

void Station::StoreInLogger(LoggerRecord record) {
    m_logger.push_back(std::move(record));
    while (m_logger.size() > std::max<std::size_t>(1, m_options.loggerCapacity)) {
        m_logger.pop_front();
    }
}

void Station::PrefillLogger(std::time_t now) {
    if (!m_options.logger || m_options.historyHours <= 0) return;
    const auto from = now - static_cast<std::time_t>(std::llround(m_options.historyHours * 3600));
    std::vector<std::time_t> times;
    for (std::time_t t = LastBoundaryAtOrBefore(now, m_interval); t > from;
         t = LastBoundaryAtOrBefore(t - 1, m_interval)) {
        times.push_back(t);
    }
    for (auto it = times.rbegin(); it != times.rend(); ++it) StoreInLogger({*it, ReadingsAt(*it)});
}

std::vector<Reading> Station::ReadingsAt(std::time_t time) const {
    std::time_t rainSince = WeatherModel::LastDailyReset(time, m_resetHour);
    if (m_manualRainReset && *m_manualRainReset <= time) {
        rainSince = std::max(rainSince, *m_manualRainReset);
    }
    return m_model.Readings(m_options.sensors, m_options.invalidSensors, time, rainSince);
}

std::int64_t Station::BoundaryKey(std::time_t time) const {
    const int timeOfDay = TimeOfDay(time);
    return static_cast<std::int64_t>(time - timeOfDay) * 100000 + timeOfDay / m_interval;
}

void Station::SetClock(std::time_t time) {
    m_offset = static_cast<long long>(time) - static_cast<long long>(std::floor(PcNow()));
    const double now = StationNowExact();
    const double cycle = std::max(0.01, m_options.cycleSeconds);
    m_nextTick = (std::floor(now / cycle) + 1.0) * cycle;
    // A jump is no storage time of its own: the next boundary after it is.
    m_lastKey = BoundaryKey(static_cast<std::time_t>(std::floor(now)));
    Log("clock set to " + FormatTimeStamp(time));
}

void Station::SetInterval(int seconds) {
    m_interval = seconds;
    m_lastKey = BoundaryKey(static_cast<std::time_t>(std::floor(StationNowExact())));
    Log("storage interval " + std::to_string(seconds) + " s");
}

bool Station::OpenPty(std::string& error) {
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        error = std::string("openpty: ") + std::strerror(errno);
        return false;
    }
    char name[256] = {};
    if (::ptsname_r(master, name, sizeof name) != 0) {
        error = std::string("ptsname: ") + std::strerror(errno);
        ::close(master);
        ::close(slave);
        return false;
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    // Raw before any client opens it: with the default echo the station would read
    // its own lines back. 38400 is a pty's own default; the program sets its rate.
    termios settings{};
    if (::tcgetattr(slave, &settings) == 0) {
        ::cfmakeraw(&settings);
        settings.c_cflag |= CLOCAL | CREAD;
        ::cfsetispeed(&settings, B38400);
        ::cfsetospeed(&settings, B38400);
        ::tcsetattr(slave, TCSANOW, &settings);
    }
    if (!m_options.linkPath.empty() && !ReplaceSymlink(name, m_options.linkPath, error)) {
        ::close(master);
        ::close(slave);
        return false;
    }
    m_master = master;
    m_slave = slave;
    m_devicePath = name;
    m_connected = true;
    return true;
}

bool Station::OpenListener(std::string& error) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // After a disconnect the station comes back on the port it had.
    address.sin_port = htons(static_cast<std::uint16_t>(m_port != 0 ? m_port : m_options.tcpPort));
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error = std::string("tcp port: ") + std::strerror(errno);
        ::close(fd);
        return false;
    }
    m_listener = fd;
    m_port = ntohs(address.sin_port);
    return true;
}

void Station::CloseClient() {
    if (m_client < 0) return;
    CloseFd(m_client);
    m_connected = false;
    m_input.clear();
    m_output.clear();
    // A replay belongs to the connection that asked for it.
    m_replay.clear();
    m_heldLines.clear();
    m_replaying = false;
    Log("client disconnected");
}

void Station::CloseLink() {
    CloseClient();
    CloseFd(m_listener);
    CloseFd(m_master);
    CloseFd(m_slave);
    m_connected = false;
    m_input.clear();
    m_output.clear();
}

void Station::HangUp() {
    m_replay.clear();
    m_heldLines.clear();
    m_replaying = false;
    if (m_options.link == LinkKind::kTcp) {
        CloseClient();
        if (m_requestedDowntime.count() <= 0) return;
        CloseFd(m_listener);
    } else {
        // An unplugged adapter takes its device name with it.
        if (!m_options.linkPath.empty()) ::unlink(m_options.linkPath.c_str());
        CloseLink();
        if (m_options.modem.enabled) m_modem.Reset();  // the modem went with its line
        Log("hung up " + m_devicePath);
        m_devicePath.clear();
    }
    m_down = true;
    m_downUntil = Clock::now() + m_requestedDowntime;
}

void Station::Log(const std::string& text) const {
    if (!m_options.verbose) return;
    const std::time_t now = std::time(nullptr);
    std::tm fields{};
    localtime_r(&now, &fields);
    char stamp[16];
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", &fields);
    std::fprintf(stderr, "orbsim %s %s\n", stamp, text.c_str());
}

void Station::Wake() const {
    if (m_wakeWrite < 0) return;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(m_wakeWrite, &byte, 1);
}

double Station::StationNowExact() const { return PcNow() + static_cast<double>(m_offset); }

}  // namespace orbsim
