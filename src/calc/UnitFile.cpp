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
