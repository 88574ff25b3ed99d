#pragma once

#include <optional>
#include <string>
#include <string_view>

// The per-user application profile: typed values (int, text, bytes) under
// sections whose nesting is written with "/" ("wetter1/View1/Sensor2"). Texts
// are Windows-1252 bytes like every core text. Only the user-interface thread
// may call these.
class Registry {
public:
    virtual ~Registry() = default;

    // The int stored under `key`, or `defaultValue` when it is missing or of
    // another kind. Text holding a whole decimal number may also read as an int,
    // because a text-file store cannot tell the two apart.
    virtual int ReadInt(std::string_view section, std::string_view key, int defaultValue) = 0;
    virtual void WriteInt(std::string_view section, std::string_view key, int value) = 0;

    // The text under `key`, or `defaultValue` when it is missing or binary.
    virtual std::string ReadText(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) = 0;
    virtual void WriteText(std::string_view section, std::string_view key,
                           std::string_view value) = 0;

    // The bytes under `key`, or nothing when it is missing or not binary.
    virtual std::optional<std::string> ReadBinary(std::string_view section,
                                                  std::string_view key) = 0;
    virtual void WriteBinary(std::string_view section, std::string_view key,
                             std::string_view bytes) = 0;

    // True when `key` holds a value of any kind.
    virtual bool Contains(std::string_view section, std::string_view key) = 0;

    // Puts what was written into permanent storage; false when that failed
    // (the values stay readable through this object for the rest of the run).
    virtual bool Flush() = 0;
};
