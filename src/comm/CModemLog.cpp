#include "comm/CModemLog.h"

#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/FileSystem.h"
#include "platform/Ui.h"

namespace {

const std::string kFrame(92, '#');
constexpr std::uint32_t kColourCause = Rgb(151, 47, 49);
// English day names whatever the desktop's language: earlier logs read this way.
constexpr const char* kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

}  // namespace

CModemLog::CModemLog(std::string path, Clock& clock, EventQueue& events, Ui& ui)
    : m_path(std::move(path)), m_clock(clock), m_events(events), m_ui(ui) {}

std::string CModemLog::BuildEntry(std::string_view text, std::time_t time) {
    const std::tm local = LocalTime(time);
    std::string entry = kFrame + "\r\n";
    entry += kDayNames[local.tm_wday >= 0 && local.tm_wday < 7 ? local.tm_wday : 0];
    entry += FormatLocalTime(time, " %d.%m.%y ; %H:%M:%S\r\n");
    entry += text;
    entry += "\r\n" + kFrame + "\r\n\r\n\r\n";
    return entry;
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
    Ui& ui = m_ui;
    m_events.Post(
        [&ui, reason] { ui.MessageBox(reason, "Error", MsgButtons::Ok, MsgIcon::Error); });
    return false;
}
