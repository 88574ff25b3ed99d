#include "publish/AwekasLog.h"

#include <memory>

#include "model/Colours.h"
#include "model/FramedLogEntry.h"
#include "model/OutputList.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/FileStore.h"
#include "platform/FileSystem.h"
#include "platform/Ui.h"

namespace {

constexpr std::uint32_t kColourCause = Rgb(0x97, 0x2F, 0x31);

}  // namespace

AwekasLog::AwekasLog(FileStore& files, std::string path, Clock& clock, EventQueue& events, Ui& ui,
                     std::string caption)
    : m_files(files),
      m_path(std::move(path)),
      m_clock(clock),
      m_events(events),
      m_ui(ui),
      m_caption(std::move(caption)) {}

std::string AwekasLog::BuildEntry(std::string_view text, std::time_t time) {
    return DayFramedLogEntry(text, time);
}

bool AwekasLog::Write(std::string_view text) {
    const std::string entry = BuildEntry(text, m_clock.Now());
    std::lock_guard lock(m_mutex);
    CutWhenFull();
    const FileStore::AppendResult appended = m_files.Append(m_path, entry, false);
    if (!appended) {
        ReportFailure(appended.error);
        return false;
    }
    return true;
}

void AwekasLog::CutWhenFull() {
    const std::optional<std::uint64_t> size = m_files.Size(m_path);
    if (!size || *size <= kMaxBytes) return;
    int error = 0;
    const std::unique_ptr<FileStore::Reader> reader = m_files.OpenForReading(m_path, error);
    char first = 0;
    if (!reader || reader->Read(&first, 1) != 1) return;
    // A failed cut leaves the log long; the entry is still appended.
    (void)m_files.Replace(m_path, std::string_view(&first, 1), false);
}

void AwekasLog::ReportFailure(int error) {
    const std::string text = FileSystem::SystemErrorText(error);
    OutputWrite("CDlgTerminal::OnInitDialogl", 0);
    OutputWrite("Awekas", 0);
    OutputWrite(text + " <==> NR: " + std::to_string(error), kColourCause);
    if (m_boxPending.exchange(true)) return;
    m_events.Post([this, shown = LogFailureText(m_path, text)] {
        m_ui.MessageBox(shown, m_caption, MsgButtons::Ok, MsgIcon::Error);
        m_boxPending = false;
    });
}
