#include "calc/UnitFile.h"

#include <algorithm>
#include <utility>

#include "model/SensorFiles.h"
#include "model/TextNumbers.h"
#include "platform/Profile.h"

namespace {

constexpr std::string_view kGroupsSection = "Sensornamenamen";
constexpr std::string_view kGroupsKey = "Gruppen";
constexpr std::string_view kBeaufortKey = "Gruppe";
constexpr std::string_view kUnitsKey = "Einheiten";
// The dialogs read with a 1000-byte buffer.
constexpr std::size_t kMaxRead = 999;
// Rewriting a list starts from all of it, so that a hand-edited list longer than
// what the dialogs read loses nothing.
constexpr std::size_t kMaxRewriteRead = 65535;

constexpr const char* kCheckInput = "Check your input!";
constexpr const char* kUnitUsed = "Unit already used!";
constexpr const char* kListFull = "Too many units in this group!";
constexpr const char* kWriteFailed = "Can't write the unit file!";
constexpr const char* kGroupUsed = "Group already used!";
constexpr const char* kGroupsFull = "Too many unit groups!";

// Base units first: the station delivers °C, km/h, hPa, mm, %, W/m² and °.
// "\260" is the degree sign and "\262" the superscript two of Windows-1252.
constexpr std::string_view kDefaultUnitFile =
    "[Sensornamenamen]\r\n"
    "Gruppen=Temperature,Wind,Pressure,Precipitation,Humidity,Radiation,Direction,\r\n"
    "[Beaufort]\r\n"
    "Gruppe=Wind\r\n"
    "[Temperature]\r\n"
    "Einheiten=\260C,\260F,K,\r\n"
    "\260C=1.000000,0.000000,\r\n"
    "\260F=1.800000,32.000000,\r\n"
    "K=1.000000,273.150000,\r\n"
    "[Wind]\r\n"
    "Einheiten=km/h,m/s,kn,mph,\r\n"
    "km/h=1.000000,0.000000,\r\n"
    "m/s=0.277778,0.000000,\r\n"
    "kn=0.539957,0.000000,\r\n"
    "mph=0.621371,0.000000,\r\n"
    "[Pressure]\r\n"
    "Einheiten=hPa,mmHg,inHg,\r\n"
    "hPa=1.000000,0.000000,\r\n"
    "mmHg=0.750062,0.000000,\r\n"
    "inHg=0.029530,0.000000,\r\n"
    "[Precipitation]\r\n"
    "Einheiten=mm,in,\r\n"
    "mm=1.000000,0.000000,\r\n"
    "in=0.039370,0.000000,\r\n"
    "[Humidity]\r\n"
    "Einheiten=%,\r\n"
    "%=1.000000,0.000000,\r\n"
    "[Radiation]\r\n"
    "Einheiten=W/m\262,\r\n"
    "W/m\262=1.000000,0.000000,\r\n"
    "[Direction]\r\n"
    "Einheiten=\260,\r\n"
    "\260=1.000000,0.000000,\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// A unit name becomes a list item and a key name: a comma would split it in
// two, an "=" or a line end would end the key early, and a key line starting
// with "[" or ";" would read as a section header or a comment.
bool IsUsableName(std::string_view name) {
    name = TrimBlanks(name);
    if (name.empty() || name.front() == '[' || name.front() == ';') return false;
    return name.find_first_of(",=\r\n") == std::string_view::npos;
}

}  // namespace

std::string_view UnitFile::DefaultContents() { return kDefaultUnitFile; }

bool UnitFile::WriteDefaultWhenMissing(Profile& profile, const std::string& path) {
    if (profile.StateOf(path) != Profile::FileState::kMissing) return true;
    // Section by section through the profile functions, which write a new
    // file in exactly the layout of the default text.
    std::string section;
    std::vector<std::pair<std::string, std::string>> keys;
    const auto flush = [&] {
        const bool written = section.empty() || profile.WriteKeys(path, section, keys);
        keys.clear();
        return written;
    };
    std::string_view rest = kDefaultUnitFile;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find("\r\n"), rest.size());
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 2, rest.size()));
        if (line.empty()) continue;
        if (line.front() == '[') {
            if (!flush()) return false;
            section = line.substr(1, line.size() - 2);
        } else {
            const std::size_t equals = line.find('=');
            keys.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        }
    }
    return flush();
}

UnitFile::UnitFile(Profile& profile, std::string path)
    : m_profile(profile), m_path(std::move(path)) {}

std::vector<std::string> UnitFile::Groups() const {
    return SplitIdentifierList(
        m_profile.ReadText(m_path, kGroupsSection, kGroupsKey, "0", kMaxRead));
}

std::string UnitFile::BeaufortGroup() const {
    return m_profile.ReadText(m_path, kBeaufort, kBeaufortKey, "Wind", kMaxRead);
}

std::vector<std::string> UnitFile::UnitChoices(std::string_view group) const {
    std::vector<std::string> units;
    if (group == BeaufortGroup()) units.emplace_back(kBeaufort);
    for (std::string& unit : Units(group)) units.push_back(std::move(unit));
    return units;
}

std::vector<std::string> UnitFile::Units(std::string_view group) const {
    return ReadUnitList(group, kMaxRead);
}

UnitFile::Conversion UnitFile::ReadConversion(std::string_view group, std::string_view unit) const {
    const std::vector<std::string> parts =
        SplitIdentifierList(m_profile.ReadText(m_path, group, unit, "", kMaxRead));
    Conversion conversion;
    if (parts.size() > 0) conversion.factor = parts[0];
    if (parts.size() > 1) conversion.offset = parts[1];
    return conversion;
}

std::optional<UnitFile::UnitChoice> UnitFile::Accept(const std::optional<std::string>& group,
                                                     const std::optional<std::string>& unit,
                                                     const Conversion& conversion) {
    if (!group || !unit) return std::nullopt;
    const bool beaufort = *unit == kBeaufort;
    if (!beaufort && (conversion.factor.empty() || conversion.offset.empty())) {
        return std::nullopt;
    }
    return UnitChoice{*group, *unit, conversion, beaufort};
}

std::optional<std::string> UnitFile::CheckEditUnit(const std::optional<std::string>& group) {
    if (!group) return std::string("Please choose a units group!");
    return std::nullopt;
}

UnitFile::AddResult UnitFile::CheckNewUnit(std::string_view name, std::string_view factor,
                                           std::string_view offset,
                                           const std::vector<std::string>& existingUnits) {
    if (!IsUsableName(name)) return {AddStatus::CheckInput, kCheckInput, {}};
    // Key names match without regard to case and outer blanks: a unit "M" would
    // overwrite the factor of "m", and a unit "Einheiten" the group's list.
    const auto sameKey = [name](std::string_view other) {
        return TextNumbers::EqualsNoCase(TrimBlanks(name), TrimBlanks(other));
    };
    if (sameKey(kUnitsKey) || std::any_of(existingUnits.begin(), existingUnits.end(), sameKey)) {
        return {AddStatus::UnitUsed, kUnitUsed, {}};
    }
    double factorValue = TextNumbers::Atof(factor.empty() ? "1" : factor);
    const double offsetValue = TextNumbers::Atof(offset.empty() ? "0" : offset);
    if (factorValue == 0.0) factorValue = 1.0;
    return {AddStatus::Ok,
            "",
            {TextNumbers::FormatFixed(factorValue), TextNumbers::FormatFixed(offsetValue)}};
}

UnitFile::AddResult UnitFile::AddUnit(std::string_view group, std::string_view name,
                                      std::string_view factor, std::string_view offset) {
    std::vector<std::string> units = ReadUnitList(group, kMaxRewriteRead);
    AddResult result = CheckNewUnit(name, factor, offset, units);
    if (result.status != AddStatus::Ok) return result;

    units.emplace_back(name);
    if (JoinIdentifierList(units).size() > kMaxRead) return {AddStatus::ListFull, kListFull, {}};
    const std::string key = result.conversion.factor + "," + result.conversion.offset + ",";
    if (!WriteUnitList(group, units)) return {AddStatus::WriteFailed, kWriteFailed, {}};
    if (!m_profile.WriteString(m_path, group, name, key)) {
        // A unit without factor and offset could never be accepted: unlist it again.
        units.pop_back();
        WriteUnitList(group, units);
        return {AddStatus::WriteFailed, kWriteFailed, {}};
    }
    return result;
}

std::optional<std::string> UnitFile::AddGroup(std::string_view name) {
    name = TrimBlanks(name);
    if (!IsUsableName(name) || name.size() > kMaxGroupName) return std::string(kCheckInput);
    std::vector<std::string> groups = SplitIdentifierList(
        m_profile.ReadText(m_path, kGroupsSection, kGroupsKey, "0", kMaxRewriteRead));
    // A group is a section: it must not meet another group's or the file's own sections.
    const auto sameSection = [name](std::string_view other) {
        return TextNumbers::EqualsNoCase(name, TrimBlanks(other));
    };
    if (sameSection(kGroupsSection) || sameSection(kBeaufort) ||
        std::any_of(groups.begin(), groups.end(), sameSection)) {
        return std::string(kGroupUsed);
    }
    groups.emplace_back(name);
    const std::string list = JoinIdentifierList(groups);
    if (list.size() > kMaxRead) return std::string(kGroupsFull);
    if (!m_profile.WriteString(m_path, kGroupsSection, kGroupsKey, list))
        return std::string(kWriteFailed);
    return std::nullopt;
}

bool UnitFile::DeleteUnit(std::string_view group, std::string_view unit) {
    std::vector<std::string> units = ReadUnitList(group, kMaxRewriteRead);
    const auto found = std::find(units.begin(), units.end(), unit);
    if (found != units.end()) units.erase(found);
    return WriteUnitList(group, units) && m_profile.WriteString(m_path, group, unit, std::nullopt);
}

std::vector<std::string> UnitFile::ReadUnitList(std::string_view group,
                                                std::size_t maxLength) const {
    return SplitIdentifierList(m_profile.ReadText(m_path, group, kUnitsKey, "0", maxLength));
}

bool UnitFile::WriteUnitList(std::string_view group, const std::vector<std::string>& units) {
    return m_profile.WriteString(m_path, group, kUnitsKey, JoinIdentifierList(units));
}
