#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The profile functions: reading and writing INI settings files with the rules
// of the Windows profile API, so that files written by the Windows program read
// the same here. Every method may be called from any thread; each call reads
// the file afresh (no cache survives a change made by another program).
class Profile {
public:
    enum class FileState { kMissing, kUnreadable, kReadable };

    virtual ~Profile() = default;

    // Whether a settings file exists and can be read.
    virtual FileState StateOf(const std::string& file) = 0;

    // GetPrivateProfileString. Copies at most size-1 characters and a NUL into
    // `buffer` and returns the number copied (without the NUL). A missing
    // section (std::nullopt) lists all section names, a missing key lists the
    // section's key names, each NUL-terminated, with one more NUL at the end.
    // Bytes of `buffer` past those written stay untouched.
    virtual std::size_t GetString(const std::string& file, std::optional<std::string_view> section,
                                  std::optional<std::string_view> key,
                                  std::string_view defaultValue, char* buffer,
                                  std::size_t size) = 0;

    // GetPrivateProfileInt: the value as unsigned 32-bit (callers that want an
    // int take it as int), or the default when the key or file is missing.
    virtual std::uint32_t GetInt(const std::string& file, std::string_view section,
                                 std::string_view key, int defaultValue) = 0;

    // WritePrivateProfileString. A missing value deletes the key, a missing key
    // deletes the section. Returns false when the file cannot be written; the
    // file is then unchanged (it is replaced atomically).
    virtual bool WriteString(const std::string& file, std::optional<std::string_view> section,
                             std::optional<std::string_view> key,
                             std::optional<std::string_view> value) = 0;

    // Sets the keys of one section in the order given, as one change: when it
    // returns false the file is as it was. The default writes key by key, so
    // an implementation that can replace the file once should override it.
    virtual bool WriteKeys(const std::string& file, std::string_view section,
                           const std::vector<std::pair<std::string, std::string>>& keys);

    // GetPrivateProfileStruct: true only when the value has exactly 2*size+2
    // hex digits and its checksum matches; `data` is then filled.
    virtual bool GetStruct(const std::string& file, std::string_view section, std::string_view key,
                           void* data, std::size_t size) = 0;

    // WritePrivateProfileStruct: hex bytes plus checksum; a null `data` deletes the key.
    virtual bool WriteStruct(const std::string& file, std::string_view section,
                             std::string_view key, const void* data, std::size_t size) = 0;

    // Convenience for settings code: reads at most `maxLength` characters
    // (a buffer of maxLength+1), the way the settings tables give lengths.
    std::string ReadText(const std::string& file, std::string_view section, std::string_view key,
                         std::string_view defaultValue, std::size_t maxLength);
    // Reads with a generous buffer, for keys without a stated maximum.
    std::string ReadText(const std::string& file, std::string_view section, std::string_view key,
                         std::string_view defaultValue);
    int ReadInt(const std::string& file, std::string_view section, std::string_view key,
                int defaultValue);
    bool WriteText(const std::string& file, std::string_view section, std::string_view key,
                   std::string_view value);
};

// The value to write so that reading gives `text` back: reading drops blanks
// and one pair of quotes at a value's ends, so a text with either gets one
// more pair of quotes.
std::string ProfileValue(std::string_view text);
