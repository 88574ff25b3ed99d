#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/IniProfile.h"

// The real profile functions, except that one write (counted from 1) fails
// and leaves its file unchanged, as a full disk would.
class FailingProfile final : public Profile {
public:
    explicit FailingProfile(int failingWrite) : m_failingWrite(failingWrite) {}

    FileState StateOf(const std::string& file) override { return m_profile.StateOf(file); }
    std::size_t GetString(const std::string& file, std::optional<std::string_view> section,
                          std::optional<std::string_view> key, std::string_view defaultValue,
                          char* buffer, std::size_t size) override {
        return m_profile.GetString(file, section, key, defaultValue, buffer, size);
    }
    std::uint32_t GetInt(const std::string& file, std::string_view section, std::string_view key,
                         int defaultValue) override {
        return m_profile.GetInt(file, section, key, defaultValue);
    }
    bool WriteString(const std::string& file, std::optional<std::string_view> section,
                     std::optional<std::string_view> key,
                     std::optional<std::string_view> value) override {
        if (++m_writes == m_failingWrite) return false;
        return m_profile.WriteString(file, section, key, value);
    }
    bool GetStruct(const std::string& file, std::string_view section, std::string_view key,
                   void* data, std::size_t size) override {
        return m_profile.GetStruct(file, section, key, data, size);
    }
    bool WriteStruct(const std::string& file, std::string_view section, std::string_view key,
                     const void* data, std::size_t size) override {
        if (++m_writes == m_failingWrite) return false;
        return m_profile.WriteStruct(file, section, key, data, size);
    }

private:
    IniProfile m_profile;
    int m_failingWrite;
    int m_writes = 0;
};
