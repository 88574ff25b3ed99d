#pragma once

#include "platform/Profile.h"

// The real profile: INI files on disk, read and written with the Windows rules.
// Writes go to a temporary file in the same folder, synced and renamed over the
// original, so a crash never leaves a half-written settings file. A file
// without write permission is left alone, as on Windows.
class IniProfile final : public Profile {
public:
    FileState StateOf(const std::string& file) override;
    std::size_t GetString(const std::string& file, std::optional<std::string_view> section,
                          std::optional<std::string_view> key, std::string_view defaultValue,
                          char* buffer, std::size_t size) override;
    std::uint32_t GetInt(const std::string& file, std::string_view section, std::string_view key,
                         int defaultValue) override;
    bool WriteString(const std::string& file, std::optional<std::string_view> section,
                     std::optional<std::string_view> key,
                     std::optional<std::string_view> value) override;
    // All keys in one replace of the file.
    bool WriteKeys(const std::string& file, std::string_view section,
                   const std::vector<std::pair<std::string, std::string>>& keys) override;
    bool GetStruct(const std::string& file, std::string_view section, std::string_view key,
                   void* data, std::size_t size) override;
    bool WriteStruct(const std::string& file, std::string_view section, std::string_view key,
                     const void* data, std::size_t size) override;
};
