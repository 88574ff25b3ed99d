#include "display/MultiDisplaySettings.h"

#include "platform/Profile.h"

namespace {

constexpr const char* kTilesSection = "MultiSetts";
constexpr const char* kColourSection = "Farben";
constexpr const char* kMasterSection = "Haupt Wind Sensor";
constexpr const char* kWindowSection = "Window";
// The settings are read through 10-byte buffers.
constexpr std::size_t kMaxLength = 9;
constexpr std::uint32_t kPlacementLength = 44;
// Far beyond any screen: such a rectangle comes from damaged bytes.
constexpr int kMaxCoordinate = 100000;

// The blanks the profile drops at a value's ends: a value cut by the short
// buffer may end in one, and would read back shorter once saved.
std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\v");
    if (first == std::string::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\v");
    return text.substr(first, last - first + 1);
}

// A colour value written as decimal digits, at most white (0xFFFFFF).
std::optional<std::uint32_t> ColourValue(const std::string& text) {
    const std::string digits = Trimmed(text);
    if (digits.empty()) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
        if (value > 0xFFFFFF) return std::nullopt;
    }
    return value;
}

std::uint32_t ReadColour(Profile& profile, const std::string& file, const char* key,
                         std::uint32_t fallback) {
    const std::string text =
        profile.ReadText(file, kColourSection, key, std::to_string(fallback), kMaxLength);
    return ColourValue(text).value_or(fallback);
}

std::string TileKey(std::size_t index) { return "Zusatz" + std::to_string(index + 1) + "Kennung"; }

void PutInt(std::array<unsigned char, 44>& bytes, std::size_t at, int value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(bits >> (8 * i));
}

int GetInt(const std::array<unsigned char, 44>& bytes, std::size_t at) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
    return static_cast<int>(bits);
}

}  // namespace

std::array<unsigned char, 44> PackPlacement(const MultiWindowPlacement& placement) {
    std::array<unsigned char, 44> bytes{};
    PutInt(bytes, 0, kPlacementLength);
    PutInt(bytes, 4, 0);  // flags
    PutInt(bytes, 8, placement.showCommand);
    // No minimised or maximised position of its own: -1, -1 each.
    for (std::size_t at = 12; at < 28; at += 4) PutInt(bytes, at, -1);
    PutInt(bytes, 28, placement.left);
    PutInt(bytes, 32, placement.top);
    PutInt(bytes, 36, placement.right);
    PutInt(bytes, 40, placement.bottom);
    return bytes;
}

std::optional<MultiWindowPlacement> UnpackPlacement(const std::array<unsigned char, 44>& bytes) {
    if (static_cast<std::uint32_t>(GetInt(bytes, 0)) != kPlacementLength) return std::nullopt;
    MultiWindowPlacement placement;
    placement.showCommand = GetInt(bytes, 8) == MultiWindowPlacement::kShowMaximized
                                ? MultiWindowPlacement::kShowMaximized
                                : MultiWindowPlacement::kShowNormal;
    placement.left = GetInt(bytes, 28);
    placement.top = GetInt(bytes, 32);
    placement.right = GetInt(bytes, 36);
    placement.bottom = GetInt(bytes, 40);
    for (int coordinate : {placement.left, placement.top, placement.right, placement.bottom})
        if (coordinate < -kMaxCoordinate || coordinate > kMaxCoordinate) return std::nullopt;
    if (placement.right <= placement.left || placement.bottom <= placement.top) return std::nullopt;
    return placement;
}

MultiDisplaySettings MultiDisplaySettings::Read(Profile& profile, const std::string& file) {
    MultiDisplaySettings settings;
    for (std::size_t i = 0; i < kTiles; ++i) {
        std::string& id = settings.additionalIds[i];
        // An emptied key would leave a tile without a sensor to choose from: the default stays.
        const std::string text =
            Trimmed(profile.ReadText(file, kTilesSection, TileKey(i), id, kMaxLength));
        if (!text.empty()) id = text;
    }
    settings.tileColour = ReadColour(profile, file, "Kachel", kDefaultTile);
    settings.backgroundColour = ReadColour(profile, file, "Hintergrund", kDefaultBackground);
    settings.textColour = ReadColour(profile, file, "Schrift", kDefaultText);

    const std::string master =
        Trimmed(profile.ReadText(file, kMasterSection, "Sensor", "1", kMaxLength));
    settings.directionMaster = master == "2" ? 2 : 1;

    std::array<unsigned char, 44> bytes{};
    if (profile.GetStruct(file, kWindowSection, "Pos", bytes.data(), bytes.size())) {
        settings.placement = UnpackPlacement(bytes);
        if (settings.placement) {
            const int dock = profile.ReadInt(file, kWindowSection, "Dock", 0);
            // Qt's left, right, top and bottom dock areas; anything else floats.
            settings.placement->dockArea =
                (dock == 1 || dock == 2 || dock == 4 || dock == 8) ? dock : 0;
        }
    }
    return settings;
}

bool MultiDisplaySettings::Write(Profile& profile, const std::string& file) const {
    bool written = true;
    for (std::size_t i = 0; i < kTiles; ++i)
        written &=
            profile.WriteText(file, kTilesSection, TileKey(i), ProfileValue(additionalIds[i]));
    written &= profile.WriteText(file, kColourSection, "Kachel", std::to_string(tileColour));
    written &=
        profile.WriteText(file, kColourSection, "Hintergrund", std::to_string(backgroundColour));
    written &= profile.WriteText(file, kColourSection, "Schrift", std::to_string(textColour));
    written &= profile.WriteText(file, kMasterSection, "Sensor", std::to_string(directionMaster));
    if (placement) {
        const std::array<unsigned char, 44> bytes = PackPlacement(*placement);
        written &= profile.WriteStruct(file, kWindowSection, "Pos", bytes.data(), bytes.size());
        written &=
            profile.WriteText(file, kWindowSection, "Dock", std::to_string(placement->dockArea));
    }
    return written;
}
