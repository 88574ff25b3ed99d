#include "gui/ui/Text.h"

#include <QFile>
#include <array>
#include <cstdint>

namespace {
// Code points of the bytes 0x80..0x9F; undefined bytes keep their own number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

char ByteOf(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == unit) return static_cast<char>(0x80 + i);
    return '?';
}
}  // namespace

QString FromBytes(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        *out++ = QChar(byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80]
                                                    : static_cast<char16_t>(byte));
    }
    return text;
}

std::string ToBytes(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;  // one character, one '?'
            bytes += '?';
            continue;
        }
        bytes += ByteOf(c.unicode());
    }
    return bytes;
}

QString FromPath(std::string_view path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string ToPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
