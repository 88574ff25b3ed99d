#include "platform/IniProfile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <mutex>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/IniFile.h"

namespace {

// Read, edit and replace is one step: two threads writing the same file must not
// lose each other's change. Reading needs no lock, a replace is atomic.
std::mutex g_writeMutex;

// The file as it is now; nullopt when it cannot be read. Never cached: another
// program may have changed it since the last call.
std::optional<IniFile> Load(const std::string& file) {
    std::string bytes;
    if (!FileSystem::ReadWholeFile(file, bytes)) return std::nullopt;
    return IniFile(std::move(bytes));
}

bool FolderExists(const std::string& file) {
    const std::size_t slash = file.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : file.substr(0, slash));
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A file without any write permission is one the owner protected: the
// Windows profile functions refuse to write it, and so does this one, even
// though replacing it by a rename would work (and always does for root).
bool MarkedReadOnly(const std::string& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || (st.st_mode & 0222) != 0) return false;
    errno = EACCES;
    return true;
}

std::size_t CopyText(std::string_view text, char* buffer, std::size_t size) {
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return n;
}

std::size_t CopyDefault(std::string_view defaultValue, char* buffer, std::size_t size) {
    while (!defaultValue.empty() && defaultValue.back() == ' ') defaultValue.remove_suffix(1);
    return CopyText(defaultValue, buffer, size);
}

// Names each followed by a NUL, one more NUL at the end. A list that does not
// fit keeps size-2 characters and ends with two NULs.
std::size_t CopyList(const std::vector<std::string_view>& names, char* buffer, std::size_t size) {
    std::string list;
    for (const std::string_view name : names) {
        list.append(name);
        list.push_back('\0');
    }
    if (list.size() < size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return list.size();
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

// Optional sign and decimal digits up to the first other character, wrapping
// like the unsigned 32-bit result Windows gives.
std::uint32_t ParseNumber(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::uint32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10u + static_cast<std::uint32_t>(c - '0');
    }
    return negative ? 0u - value : value;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::size_t IniProfile::GetString(const std::string& file, std::optional<std::string_view> section,
                                  std::optional<std::string_view> key,
                                  std::string_view defaultValue, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) return 0;
    const std::optional<IniFile> ini = Load(file);
    if (!ini) return CopyDefault(defaultValue, buffer, size);

    if (!section || !key) {
        std::vector<std::string_view> names;
        if (!section) {
            names = ini->SectionNames();
        } else if (auto keys = ini->KeyNames(*section)) {
            names = std::move(*keys);
        }
        if (names.empty()) return CopyDefault(defaultValue, buffer, size);
        return CopyList(names, buffer, size);
    }

    const auto value = ini->Value(*section, *key);
    if (!value) return CopyDefault(defaultValue, buffer, size);
    return CopyText(*value, buffer, size);
}

std::uint32_t IniProfile::GetInt(const std::string& file, std::string_view section,
                                 std::string_view key, int defaultValue) {
    const auto fallback = static_cast<std::uint32_t>(defaultValue);
    const std::optional<IniFile> ini = Load(file);
    if (!ini) return fallback;
    const auto value = ini->Value(section, key);
    if (!value || value->empty()) return fallback;
    return ParseNumber(*value);
}

bool IniProfile::WriteString(const std::string& file, std::optional<std::string_view> section,
                             std::optional<std::string_view> key,
                             std::optional<std::string_view> value) {
    if (!section) return false;
    const std::lock_guard lock(g_writeMutex);
    if (MarkedReadOnly(file)) return false;
    std::string bytes;
    const FileSystem::Result read = FileSystem::ReadWholeFile(file, bytes);
    if (!read && read.error != ENOENT) return false;

    IniFile ini(std::move(bytes));
    bool changed = false;
    if (!key) {
        changed = ini.DeleteSection(*section);
    } else if (!value) {
        changed = ini.DeleteKey(*section, *key);
    } else {
        changed = ini.SetValue(*section, *key, *value);
    }
    // Nothing to delete or an unchanged value: success without touching the file,
    // but a missing folder still fails as any write there would.
    if (!changed) return read || FolderExists(file);
    return static_cast<bool>(FileSystem::ReplaceFile(file, ini.Bytes()));
}

bool IniProfile::WriteKeys(const std::string& file, std::string_view section,
                           const std::vector<std::pair<std::string, std::string>>& keys) {
    const std::lock_guard lock(g_writeMutex);
    if (MarkedReadOnly(file)) return false;
    std::string bytes;
    const FileSystem::Result read = FileSystem::ReadWholeFile(file, bytes);
    if (!read && read.error != ENOENT) return false;

    IniFile ini(std::move(bytes));
    bool changed = false;
    for (const auto& [key, value] : keys) changed = ini.SetValue(section, key, value) || changed;
    if (!changed) return read || FolderExists(file);
    return static_cast<bool>(FileSystem::ReplaceFile(file, ini.Bytes()));
}

bool IniProfile::GetStruct(const std::string& file, std::string_view section, std::string_view key,
                           void* data, std::size_t size) {
    if (data == nullptr && size != 0) return false;
    if (size > (std::numeric_limits<std::size_t>::max() - 2) / 2) return false;
    const std::optional<IniFile> ini = Load(file);
    if (!ini) return false;
    const auto value = ini->Value(section, key);
    if (!value || value->size() != 2 * size + 2) return false;

    std::vector<unsigned char> bytes(size + 1);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = HexDigit((*value)[2 * i]);
        const int low = HexDigit((*value)[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        bytes[i] = static_cast<unsigned char>(high * 16 + low);
    }
    unsigned char sum = 0;
    for (std::size_t i = 0; i < size; ++i) sum = static_cast<unsigned char>(sum + bytes[i]);
    if (sum != bytes[size]) return false;
    if (size != 0) std::memcpy(data, bytes.data(), size);
    return true;
}

bool IniProfile::WriteStruct(const std::string& file, std::string_view section,
                             std::string_view key, const void* data, std::size_t size) {
    if (data == nullptr) return WriteString(file, section, key, std::nullopt);
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::string text;
    text.reserve(2 * size + 2);
    unsigned char sum = 0;
    auto append = [&text](unsigned char byte) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    };
    for (std::size_t i = 0; i < size; ++i) {
        append(bytes[i]);
        sum = static_cast<unsigned char>(sum + bytes[i]);
    }
    append(sum);
    return WriteString(file, section, key, text);
}

Profile::FileState IniProfile::StateOf(const std::string& file) {
    if (!FileSystem::FileExists(file)) return FileState::kMissing;
    std::string bytes;
    return FileSystem::ReadWholeFile(file, bytes) ? FileState::kReadable : FileState::kUnreadable;
}
