#include "gui/platform/QtRegistry.h"

#include <QSettings>
#include <QStringList>

#include "gui/ui/Text.h"

QtRegistry::QtRegistry(const std::string& programName)
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Norvika GmbH"),
                                             FromPath(programName))) {}

QtRegistry::QtRegistry(std::unique_ptr<QSettings> settings) : m_settings(std::move(settings)) {}

std::unique_ptr<QtRegistry> QtRegistry::InFile(const std::string& path) {
    return std::unique_ptr<QtRegistry>(
        new QtRegistry(std::make_unique<QSettings>(FromPath(path), QSettings::IniFormat)));
}

QtRegistry::~QtRegistry() = default;

// Section names carry the program's file name, so they keep the file system's encoding.
QString QtRegistry::KeyOf(std::string_view section, std::string_view key) {
    return section.empty() ? FromPath(key) : FromPath(section) + u'/' + FromPath(key);
}

int QtRegistry::ReadInt(std::string_view section, std::string_view key, int defaultValue) {
    const QVariant value = m_settings->value(KeyOf(section, key));
    // An INI file gives every number back as text.
    if (!value.isValid() || value.typeId() == QMetaType::QByteArray) return defaultValue;
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? number : defaultValue;
}

void QtRegistry::WriteInt(std::string_view section, std::string_view key, int value) {
    m_settings->setValue(KeyOf(section, key), value);
}

std::string QtRegistry::ReadText(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) {
    const QVariant value = m_settings->value(KeyOf(section, key));
    if (!value.isValid() || value.typeId() == QMetaType::QByteArray)
        return std::string(defaultValue);
    // A hand-edited INI value with unquoted commas comes back as a list.
    if (value.typeId() == QMetaType::QStringList) return ToBytes(value.toStringList().join(u','));
    return ToBytes(value.toString());
}

void QtRegistry::WriteText(std::string_view section, std::string_view key, std::string_view value) {
    m_settings->setValue(KeyOf(section, key), FromBytes(value));
}

std::optional<std::string> QtRegistry::ReadBinary(std::string_view section, std::string_view key) {
    const QVariant value = m_settings->value(KeyOf(section, key));
    if (value.typeId() != QMetaType::QByteArray) return std::nullopt;
    const QByteArray bytes = value.toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void QtRegistry::WriteBinary(std::string_view section, std::string_view key,
                             std::string_view bytes) {
    m_settings->setValue(KeyOf(section, key),
                         QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

bool QtRegistry::Contains(std::string_view section, std::string_view key) {
    return m_settings->contains(KeyOf(section, key));
}

bool QtRegistry::Flush() {
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

std::string QtRegistry::FileName() const { return ToPath(m_settings->fileName()); }
