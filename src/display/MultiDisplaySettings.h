#pragma once

// MultiDisplaySettings are the multi display's choices kept in multi.ini.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class Profile;

// Where the multi display window was: a Windows window placement (44 bytes,
// "Window"/"Pos") whose normal rectangle is the window's frame on the screen,
// and the side of the main window it was docked to ("Window"/"Dock", 0 while
// floating).
struct MultiWindowPlacement {
    static constexpr int kShowNormal = 1;
    static constexpr int kShowMaximized = 3;  // full screen

    int showCommand = kShowNormal;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int dockArea = 0;

    bool operator==(const MultiWindowPlacement&) const = default;
};

// Everything multi.ini holds. A key that is missing, empty or not a number of
// its kind reads as its default, so a damaged file never leaves the display
// black on black or without tiles.
struct MultiDisplaySettings {
    static constexpr std::size_t kTiles = 5;
    static constexpr std::uint32_t kDefaultTile = 12632256;  // light grey
    static constexpr std::uint32_t kDefaultBackground = 16777215;
    static constexpr std::uint32_t kDefaultText = 0;

    // "MultiSetts"/"Zusatz1Kennung" ... "Zusatz5Kennung".
    std::array<std::string, kTiles> additionalIds = {"TE", "FE", "DR", "RE", "SO"};
    std::uint32_t tileColour = kDefaultTile;              // "Farben"/"Kachel"
    std::uint32_t backgroundColour = kDefaultBackground;  // "Farben"/"Hintergrund"
    std::uint32_t textColour = kDefaultText;              // "Farben"/"Schrift"
    // "Haupt Wind Sensor"/"Sensor": 1 "WR" gives the main direction, 2 "WV".
    int directionMaster = 1;
    std::optional<MultiWindowPlacement> placement;

    // Reads `file`; what is missing or damaged keeps its default.
    static MultiDisplaySettings Read(Profile& profile, const std::string& file);
    // Writes every key; false when the file could not be written.
    bool Write(Profile& profile, const std::string& file) const;
};

// The 44 bytes of a Windows window placement, little-endian; and back, where
// only bytes that name a real rectangle give a placement.
std::array<unsigned char, 44> PackPlacement(const MultiWindowPlacement& placement);
std::optional<MultiWindowPlacement> UnpackPlacement(const std::array<unsigned char, 44>& bytes);
