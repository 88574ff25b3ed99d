#pragma once

#include <memory>
#include <string>

#include "platform/Registry.h"

class QSettings;
class QString;

// The application profile in QSettings: the user's settings of organisation
// "Norvika GmbH" and the program's name, or an INI file of its own for tests.
// Texts are stored as Windows-1252 text, bytes as byte arrays.
class QtRegistry final : public Registry {
public:
    // The user's profile for the program named `programName` ("wetter").
    explicit QtRegistry(const std::string& programName);
    // A profile kept in the INI file `path`, leaving the user's settings alone.
    static std::unique_ptr<QtRegistry> InFile(const std::string& path);
    ~QtRegistry() override;

    int ReadInt(std::string_view section, std::string_view key, int defaultValue) override;
    void WriteInt(std::string_view section, std::string_view key, int value) override;
    std::string ReadText(std::string_view section, std::string_view key,
                         std::string_view defaultValue) override;
    void WriteText(std::string_view section, std::string_view key, std::string_view value) override;
    std::optional<std::string> ReadBinary(std::string_view section, std::string_view key) override;
    void WriteBinary(std::string_view section, std::string_view key,
                     std::string_view bytes) override;
    bool Contains(std::string_view section, std::string_view key) override;
    bool Flush() override;

    // Where the values are kept (for messages).
    std::string FileName() const;

private:
    explicit QtRegistry(std::unique_ptr<QSettings> settings);
    static QString KeyOf(std::string_view section, std::string_view key);

    std::unique_ptr<QSettings> m_settings;
};
