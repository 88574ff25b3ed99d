#pragma once

// CModemLog writes "ModemLog.txt", the journal of the modem dialogue.

#include <ctime>
#include <mutex>
#include <string>
#include <string_view>

class Clock;
class EventQueue;
class Ui;

// Appends framed, dated entries to ModemLog.txt in the program's folder (never
// cut). A log that cannot be written is reported in the output window and in a
// message box on the user-interface thread. Safe from any thread.
class CModemLog {
public:
    // An empty `path` writes nothing.
    CModemLog(std::string path, Clock& clock, EventQueue& events, Ui& ui);

    // Appends an entry; false when the file cannot be written.
    bool WriteToLog(std::string_view text);

    // The bytes of one entry written at `time` (local time).
    static std::string BuildEntry(std::string_view text, std::time_t time);

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    Clock& m_clock;
    EventQueue& m_events;
    Ui& m_ui;
    std::mutex m_mutex;
};
