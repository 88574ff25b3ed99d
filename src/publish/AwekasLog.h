#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <string>
#include <string_view>

class Clock;
class EventQueue;
class FileStore;
class Ui;

// AwekasLog.txt: framed, dated entries of the AWEKAS requests and replies.
// Write may be called from any thread; a log that cannot be written is shown
// to the user on the user-interface thread. Must outlive the uploads using it
// and the event queue it posts to.
class AwekasLog {
public:
    // A longer log is cut to its first byte before the next entry.
    static constexpr std::uint64_t kMaxBytes = 10000000;

    // `caption` heads the message box of a failed write (the program's name).
    AwekasLog(FileStore& files, std::string path, Clock& clock, EventQueue& events, Ui& ui,
              std::string caption);

    // Appends an entry (an empty text too); false when the file cannot be written.
    bool Write(std::string_view text);

    // The bytes of one entry written at `time` (local time).
    static std::string BuildEntry(std::string_view text, std::time_t time);

    const std::string& Path() const { return m_path; }

private:
    void CutWhenFull();
    void ReportFailure(int error);

    FileStore& m_files;
    std::string m_path;
    Clock& m_clock;
    EventQueue& m_events;
    Ui& m_ui;
    std::string m_caption;
    std::mutex m_mutex;
    // An upload follows every record: while one box is waiting, further failures add none.
    std::atomic<bool> m_boxPending{false};
};
