#pragma once

#include <cstdint>

// Windows colour values (red in the low byte), as settings files store them.
constexpr std::uint32_t Rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}

// Colours of output-window lines.
constexpr std::uint32_t kColourCommand = Rgb(255, 128, 14);
constexpr std::uint32_t kColourAction = Rgb(0, 0, 255);
constexpr std::uint32_t kColourSuccess = Rgb(0, 255, 0);
constexpr std::uint32_t kColourError = Rgb(255, 0, 0);
constexpr std::uint32_t kColourCaution = Rgb(163, 73, 164);
