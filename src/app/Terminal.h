#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/TerminalCommands.h"
#include "app/TerminalLines.h"

struct AppContext;

// The terminal's rules: the station's lines as they arrive, commands typed or
// chosen from the eight user-defined ones, sent after the next received byte,
// and the recording of a response to a file for a number of seconds (timer
// 789). Runs on the user-interface thread.
class Terminal {
public:
    static constexpr int kRecordingTimer = 789;
    // The longest command sent at once: what a stored command may hold.
    static constexpr std::size_t kMaxCommandLength = TerminalCommands::kMaxCommandLength;
    // Colour of the output line of a recording file that failed.
    static constexpr std::uint32_t kFileErrorColour = 0x312F97;  // RGB(151,47,49)

    explicit Terminal(AppContext& context);
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // A received line (with its "\r\n"): shown and, while recording, written to
    // the file unchanged. True when the oldest shown line had to go for it.
    bool AddLine(std::string_view line);
    const TerminalLines& Lines() const { return m_lines; }

    // "Send": queues `text` + "\r\n". False, after telling the person why,
    // when nothing was queued (too long, or no station is read).
    bool Send(std::string_view text);
    // User command `number` (1..8): stops a running recording, queues the
    // stored command and, when it says so, records the response.
    void RunUserCommand(int number);
    // "Stop reading data", the timer, or the next user command.
    void StopRecording();
    bool Recording() const { return m_recording; }
    const std::string& RecordingFile() const { return m_recordingFile; }

    // The eight commands as stored now (for the menu).
    TerminalCommands::Commands UserCommands() const;
    std::string CommandsFile() const;

    // Told when recording starts or ends.
    void SetRecordingListener(std::function<void(bool)> listener) {
        m_recordingListener = std::move(listener);
    }
    // Whether a station is being read now; a command queued otherwise would be
    // dropped by the next connect. Without a check commands are always queued.
    void SetStationCheck(std::function<bool()> listening) { m_listening = std::move(listening); }

private:
    bool StationListening() const;
    void StartRecording(const std::string& path, int seconds);
    void SetRecording(bool recording);
    void ReportFileError(const std::string& text, int error);

    AppContext& m_context;
    TerminalLines m_lines;
    bool m_recording = false;
    std::string m_recordingFile;
    std::function<void(bool)> m_recordingListener;
    std::function<bool()> m_listening;
};
