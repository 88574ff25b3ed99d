#include "comm/StationProtocol.h"

#include <algorithm>

#include "platform/Clock.h"

namespace StationProtocol {

std::string StationTimeText(std::time_t time) { return FormatLocalTime(time, "%H%M%S%d%m%y"); }

std::string ClockCommand(std::time_t time) { return "!U" + StationTimeText(time); }

std::string LoggerQueryCommand(std::time_t lastStored) { return "?D" + StationTimeText(lastStored); }

std::string StorageIntervalCommand(int seconds) {
    if (seconds % 10 == 0 && seconds <= 2550) return "!Z" + std::to_string(seconds / 10);
    if (seconds % 2 != 0) return "!ZS" + std::to_string(seconds);
    return "!ZD" + std::to_string(seconds / 2);
}

std::string AltitudeCommand(int metres) { return "!O" + std::to_string(metres); }

std::optional<std::string> EchoText(std::string_view line) {
    const std::size_t open = line.rfind('<');
    if (open == std::string_view::npos) return std::nullopt;
    const std::size_t close = line.find('>', open + 1);
    if (close == std::string_view::npos) return std::nullopt;
    return std::string(line.substr(open + 1, close - open - 1));
}

bool IsOnlineReply(std::string_view line) {
    return line.find('<') != std::string_view::npos && line.find('>') != std::string_view::npos;
}

bool ReadSensorIdentifiers(std::string_view line, std::vector<std::string>& identifiers) {
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos || comma == start) break;
        std::string identifier;
        for (char c : line.substr(start, comma - start)) {
            const bool skipped = (c >= '0' && c <= '9') || c == ' ' || c == '.' || c == '-' ||
                                 c == ':';
            if (!skipped) identifier += c;
        }
        if (!identifier.empty()) identifiers.push_back(std::move(identifier));
        if (comma + 1 >= line.size()) break;
        start = comma + 1;
    }
    return true;
}

void RemoveAll(std::string& text, std::string_view what) {
    if (what.empty()) return;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at))
        text.erase(at, what.size());
}

}  // namespace StationProtocol
