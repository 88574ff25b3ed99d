#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "platform/Registry.h"

// The application profile as a map. A value read as another kind than it was
// written gives the default, as the Windows registry did; `failFlush` makes
// Flush report a store that cannot be written.
class MemoryRegistry final : public Registry {
public:
    struct Bytes {
        std::string bytes;
    };
    using Value = std::variant<int, std::string, Bytes>;  // int, text, binary
    using Key = std::pair<std::string, std::string>;      // section, key

    int ReadInt(std::string_view section, std::string_view key, int defaultValue) override {
        const Value* value = Find(section, key);
        return value && std::holds_alternative<int>(*value) ? std::get<int>(*value) : defaultValue;
    }
    void WriteInt(std::string_view section, std::string_view key, int value) override {
        m_values[MakeKey(section, key)] = value;
    }
    std::string ReadText(std::string_view section, std::string_view key,
                         std::string_view defaultValue) override {
        const Value* value = Find(section, key);
        return value && std::holds_alternative<std::string>(*value) ? std::get<std::string>(*value)
                                                                    : std::string(defaultValue);
    }
    void WriteText(std::string_view section, std::string_view key,
                   std::string_view value) override {
        m_values[MakeKey(section, key)] = std::string(value);
    }
    std::optional<std::string> ReadBinary(std::string_view section, std::string_view key) override {
        const Value* value = Find(section, key);
        if (!value || !std::holds_alternative<Bytes>(*value)) return std::nullopt;
        return std::get<Bytes>(*value).bytes;
    }
    void WriteBinary(std::string_view section, std::string_view key,
                     std::string_view bytes) override {
        m_values[MakeKey(section, key)] = Bytes{std::string(bytes)};
    }
    bool Contains(std::string_view section, std::string_view key) override {
        return Find(section, key) != nullptr;
    }
    bool Flush() override {
        ++flushes;
        return !failFlush;
    }

    const std::map<Key, Value>& Values() const { return m_values; }

    bool failFlush = false;
    int flushes = 0;

private:
    static Key MakeKey(std::string_view section, std::string_view key) {
        return {std::string(section), std::string(key)};
    }
    const Value* Find(std::string_view section, std::string_view key) const {
        const auto it = m_values.find(MakeKey(section, key));
        return it == m_values.end() ? nullptr : &it->second;
    }

    std::map<Key, Value> m_values;
};
