#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

class Clock;
class EventQueue;
class Ui;

// "ErrLog.txt": framed, dated entries for events that must survive the run.
// WriteErrorLog may be called from any thread; a failure to open the file is
// shown to the user on the user-interface thread.
class ErrorLog {
public:
    // The log is emptied before an entry once it has reached this size.
    static constexpr std::uint64_t kMaxBytes = 10000000;
    // The caption of the box that tells of a log that cannot be opened. A Ui
    // that also keeps its messages in this log leaves that one out, or each
    // failure would report itself again.
    static constexpr const char* kOpenFailureCaption = "Error";

    ErrorLog(std::string path, Clock& clock, EventQueue& events, Ui& ui);

    // Every entry's text is also handed to `echo`, on the writing thread and
    // before the file is opened, so that an entry the file cannot take is not
    // lost either. Set it before other threads write.
    void SetEcho(std::function<void(std::string_view text)> echo) { m_echo = std::move(echo); }

    // Appends an entry; false for an empty text or when the file cannot be opened.
    bool WriteErrorLog(std::string_view text, bool withDate = true, bool withTime = true);

    // The bytes one entry adds to the file, line ends as the text-mode stream writes them.
    static std::string BuildEntry(std::string_view text, std::time_t time, bool withDate,
                                  bool withTime);

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    Clock& m_clock;
    EventQueue& m_events;
    Ui& m_ui;
    std::mutex m_mutex;
    std::function<void(std::string_view)> m_echo;
};
