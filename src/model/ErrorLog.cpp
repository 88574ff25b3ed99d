#include "model/ErrorLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "model/FramedLogEntry.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/FileSystem.h"
#include "platform/Ui.h"

namespace {
// The log was written through a text-mode stream: every LF became CR LF, so
// the CR LF of an entry ends up as CR CR LF. Files of older versions look like
// that and readers of the log expect it.
std::string AsTextMode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (const char c : bytes) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}
}  // namespace

ErrorLog::ErrorLog(std::string path, Clock& clock, EventQueue& events, Ui& ui)
    : m_path(std::move(path)), m_clock(clock), m_events(events), m_ui(ui) {}

std::string ErrorLog::BuildEntry(std::string_view text, std::time_t time, bool withDate,
                                 bool withTime) {
    std::string entry = kLogFrame + "\r\n";
    if (withDate) entry += FormatLocalTime(time, "<%d.%m.%Y>  ");
    if (withTime) entry += FormatLocalTime(time, "<%H:%M:%S>  ");
    entry += text;
    entry += "\r\n" + kLogFrame + "\r\n\r\n\r\n\r\n";
    return AsTextMode(entry);
}

bool ErrorLog::WriteErrorLog(std::string_view text, bool withDate, bool withTime) {
    if (text.empty()) return false;
    if (m_echo) m_echo(text);
    const std::string entry = BuildEntry(text, m_clock.Now(), withDate, withTime);

    std::lock_guard lock(m_mutex);
    const int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) {
        const std::string message = LogFailureText(m_path, FileSystem::SystemErrorText(errno));
        Ui& ui = m_ui;
        m_events.Post([&ui, message] {
            ui.MessageBox(message, kOpenFailureCaption, MsgButtons::Ok, MsgIcon::Error);
        });
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && static_cast<std::uint64_t>(st.st_size) >= kMaxBytes) {
        if (::ftruncate(fd, 0) != 0) { /* appending to the full log is still better than nothing */
        }
    }
    std::string_view rest = entry;
    bool written = true;
    while (!rest.empty()) {
        const ssize_t n = ::write(fd, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            written = false;
            break;
        }
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
    ::close(fd);
    return written;
}
