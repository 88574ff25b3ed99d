#include "app/Terminal.h"

#include "app/AppContext.h"
#include "app/StationCommands.h"
#include "comm/ProcessValues.h"
#include "model/OutputList.h"
#include "model/StationSettings.h"
#include "platform/FileStore.h"
#include "platform/FileSystem.h"
#include "platform/ProgramPaths.h"
#include "platform/Timers.h"
#include "platform/Ui.h"

namespace {
constexpr const char* kNotConnected =
    "No station is being read: the command was not sent.\nConnect to the station first.";
}

Terminal::Terminal(AppContext& context) : m_context(context) {}

Terminal::~Terminal() { m_context.timers.StopAll(this); }

std::string Terminal::CommandsFile() const { return TerminalCommands::File(m_context.paths); }

TerminalCommands::Commands Terminal::UserCommands() const {
    return TerminalCommands::ReadAll(m_context.profile, CommandsFile());
}

bool Terminal::AddLine(std::string_view line) {
    if (m_recording) {
        const FileStore::AppendResult written =
            m_context.Files().Append(m_recordingFile, line, false);
        if (!written) {
            // Stopped before the box, which lets further lines arrive.
            const std::string file = m_recordingFile;
            StopRecording();
            ReportFileError("Writing " + file + " failed, the recording has stopped",
                            written.error);
        }
    }
    return m_lines.Add(line);
}

bool Terminal::StationListening() const { return !m_listening || m_listening(); }

bool Terminal::Send(std::string_view text) {
    const std::string caption = m_context.paths.ProgramName();
    if (text.size() > kMaxCommandLength) {
        m_context.ui.MessageBox("The command is too long: at most " +
                                    std::to_string(kMaxCommandLength) +
                                    " characters can be sent at once (" +
                                    std::to_string(text.size()) + " given). Nothing was sent.",
                                caption, MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    if (!StationListening()) {
        m_context.ui.MessageBox(kNotConnected, caption, MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    QueueStationCommand(m_context.process, std::string(text));
    return true;
}

void Terminal::RunUserCommand(int number) {
    if (number < 1 || number > TerminalCommands::kCount) return;
    if (m_recording) StopRecording();
    if (!StationListening()) {
        m_context.ui.MessageBox(kNotConnected, m_context.paths.ProgramName(), MsgButtons::Ok,
                                MsgIcon::Warning);
        return;
    }
    const UserCommand command = TerminalCommands::Read(m_context.profile, CommandsFile(), number);
    QueueStationCommand(m_context.process, command.command);
    if (command.seconds <= 0 || !command.save || command.savePath.empty()) return;
    StartRecording(TerminalCommands::RecordingPath(m_context.paths, command.savePath),
                   command.seconds);
}

void Terminal::StartRecording(const std::string& path, int seconds) {
    // Created, or emptied when it exists.
    if (const FileSystem::Result created = m_context.Files().Replace(path, "", false); !created) {
        ReportFileError("The file " + path + " couldn't be opened", created.error);
        return;
    }
    m_recordingFile = path;
    m_context.timers.Start(this, kRecordingTimer, TimerMilliseconds(seconds),
                           [this] { StopRecording(); });
    SetRecording(true);
}

void Terminal::StopRecording() {
    m_context.timers.Stop(this, kRecordingTimer);
    if (!m_recording) return;
    SetRecording(false);
}

void Terminal::SetRecording(bool recording) {
    m_recording = recording;
    if (m_recordingListener) m_recordingListener(recording);
}

void Terminal::ReportFileError(const std::string& text, int error) {
    const std::string system = FileSystem::SystemErrorText(error);
    m_context.ui.MessageBox(text + ":\n" + system, m_context.paths.ProgramName(), MsgButtons::Ok,
                            MsgIcon::Error);
    OutputWrite(system + " <==> NR: " + std::to_string(error), kFileErrorColour);
}
