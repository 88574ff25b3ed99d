#include "model/FramedLogEntry.h"

#include "platform/Clock.h"

namespace {
// English day names whatever LC_TIME the desktop sets: earlier logs read this way.
constexpr const char* kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
}  // namespace

std::string DayFramedLogEntry(std::string_view text, std::time_t time) {
    const std::tm local = LocalTime(time);
    std::string entry = kLogFrame + "\r\n";
    entry += kDayNames[local.tm_wday >= 0 && local.tm_wday < 7 ? local.tm_wday : 0];
    entry += FormatLocalTime(time, " %d.%m.%y ; %H:%M:%S\r\n");
    entry += text;
    entry += "\r\n" + kLogFrame + "\r\n\r\n\r\n";
    return entry;
}

std::string LogFailureText(std::string_view path, std::string_view reason) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::string text(name);
    text += ": ";
    text += reason;
    return text;
}
