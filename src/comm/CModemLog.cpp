#include "comm/CModemLog.h"

#include "model/Colours.h"
#include "model/FramedLogEntry.h"
#include "model/OutputList.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/FileSystem.h"
#include "platform/Ui.h"

namespace {
constexpr std::uint32_t kColourCause = Rgb(151, 47, 49);
}  // namespace

CModemLog::CModemLog(std::string path, Clock& clock, EventQueue& events, Ui& ui)
    : m_path(std::move(path)), m_clock(clock), m_events(events), m_ui(ui) {}

std::string CModemLog::BuildEntry(std::string_view text, std::time_t time) {
    return DayFramedLogEntry(text, time);
}

bool CModemLog::WriteToLog(std::string_view text) {
    if (m_path.empty()) return true;
    const std::string entry = BuildEntry(text, m_clock.Now());
    std::lock_guard lock(m_mutex);
    const FileSystem::Result appended = FileSystem::AppendToFile(m_path, entry);
    if (appended) return true;
    const std::string reason = FileSystem::SystemErrorText(appended.error);
    OutputWrite("CModemLog::WriteToLOg", kColourCause);
    OutputWrite(reason + " <==> NR: " + std::to_string(appended.error), kColourCause);
    const std::string shown = LogFailureText(m_path, reason);
    Ui& ui = m_ui;
    m_events.Post([&ui, shown] { ui.MessageBox(shown, "Error", MsgButtons::Ok, MsgIcon::Error); });
    return false;
}
