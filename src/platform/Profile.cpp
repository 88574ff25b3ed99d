#include "platform/Profile.h"

#include <vector>

namespace {
// Keys without a stated maximum are read with the size the original used for such reads.
constexpr std::size_t kUnstatedLength = 1023;
}  // namespace

std::string Profile::ReadText(const std::string& file, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              std::size_t maxLength) {
    std::vector<char> buffer(maxLength + 1, '\0');
    const std::size_t n = GetString(file, section, key, defaultValue, buffer.data(), buffer.size());
    return std::string(buffer.data(), n);
}

std::string Profile::ReadText(const std::string& file, std::string_view section,
                              std::string_view key, std::string_view defaultValue) {
    return ReadText(file, section, key, defaultValue, kUnstatedLength);
}

int Profile::ReadInt(const std::string& file, std::string_view section, std::string_view key,
                     int defaultValue) {
    return static_cast<int>(GetInt(file, section, key, defaultValue));
}

bool Profile::WriteText(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value) {
    return WriteString(file, section, key, value);
}

bool Profile::WriteKeys(const std::string& file, std::string_view section,
                        const std::vector<std::pair<std::string, std::string>>& keys) {
    for (const auto& [key, value] : keys)
        if (!WriteString(file, section, key, value)) return false;
    return true;
}

std::string ProfileValue(std::string_view text) {
    if (text.empty()) return {};
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v'; };
    const bool outerBlank = blank(text.front()) || blank(text.back());
    const bool outerQuotes = text.size() >= 2 && text.front() == text.back() &&
                             (text.front() == '"' || text.front() == '\'');
    if (!outerBlank && !outerQuotes) return std::string(text);
    return "\"" + std::string(text) + "\"";
}
