#pragma once

#include <QColor>
#include <cstdint>

// Windows colour values (red in the low byte), as the core keeps them, to and from QColor.
QColor ToQColor(std::uint32_t colour);
std::uint32_t ToColourValue(const QColor& colour);
