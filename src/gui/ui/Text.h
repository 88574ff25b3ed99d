#pragma once

#include <QString>
#include <string>
#include <string_view>

// The one conversion between the core's Windows-1252 bytes and Qt's text.
// The five bytes the code page leaves undefined map to the code points of the
// same number, so every byte survives a round trip.
QString FromBytes(std::string_view bytes);
// Characters outside the code page become '?' (one per character, also for
// characters written as a surrogate pair).
std::string ToBytes(const QString& text);

// File and folder paths go to the file system as they are (its encoding, UTF-8),
// so that a chosen folder is the folder the core then opens.
QString FromPath(std::string_view path);
std::string ToPath(const QString& path);
