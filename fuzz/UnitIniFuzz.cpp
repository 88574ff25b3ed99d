// Any bytes as unit.ini: the "Units" dialog's lists and conversions must read
// within their limits, a chosen conversion must turn into numbers and convert a
// value, and a unit added to a plain group must be listed, then go again.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzFiles.h"
#include "calc/CEinheitBerechnung.h"
#include "calc/UnitFile.h"
#include "model/CSensoren.h"
#include "model/TextNumbers.h"
#include "platform/IniProfile.h"

namespace {

constexpr const char* kName = "UnitIniFuzz";
// The dialogs show one group and one unit at a time; a few of each stand for
// what a person clicks through.
constexpr std::size_t kGroupsVisited = 6;
constexpr std::size_t kUnitsVisited = 6;
constexpr std::string_view kNewUnit = "fz/h";

// A group a section can be named after and read back under.
bool IsPlainName(std::string_view name) {
    if (name.empty() || name.size() > 40 || name.front() == '[' || name.front() == ';')
        return false;
    if (name.front() == ' ' || name.back() == ' ' || name.front() == '"' || name.front() == '\'')
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == ']' || c == '=';
    });
}

void Convert(const UnitFile::UnitChoice& choice) {
    CSensoren sensor;
    sensor.m_factor = TextNumbers::AtofFloat(choice.conversion.factor);
    sensor.m_offset = TextNumbers::AtofFloat(choice.conversion.offset);
    sensor.m_beaufort = choice.beaufort;
    sensor.m_lowerLimit = -1000.0f;
    sensor.m_upperLimit = 1000.0f;
    const CEinheitBerechnung units;
    for (float raw : {0.0f, 12.5f, -40.0f, 999.0f})
        units.ConvertValue(raw, sensor, CEinheitBerechnung::Limits::Check);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFolder folder;
    IniProfile profile;
    const std::string file =
        folder.Write("unit.ini", std::string_view(reinterpret_cast<const char*>(data), size));
    UnitFile units(profile, file);

    const std::vector<std::string> groups = units.Groups();
    if (groups.size() > 1000) FuzzFail(kName, "more groups than 999 characters hold");
    const std::string beaufortGroup = units.BeaufortGroup();
    if (beaufortGroup.size() > 999) FuzzFail(kName, "Beaufort group too long");

    for (std::size_t g = 0; g < std::min(groups.size(), kGroupsVisited); ++g) {
        const std::string& group = groups[g];
        const std::vector<std::string> choices = units.UnitChoices(group);
        if (group == beaufortGroup && (choices.empty() || choices.front() != UnitFile::kBeaufort))
            FuzzFail(kName, "Beaufort group does not offer Beaufort first");
        if (UnitFile::CheckEditUnit(group)) FuzzFail(kName, "a chosen group may not be edited");
        for (std::size_t u = 0; u < std::min(choices.size(), kUnitsVisited); ++u) {
            const UnitFile::Conversion conversion = units.ReadConversion(group, choices[u]);
            if (conversion.factor.size() > 999 || conversion.offset.size() > 999)
                FuzzFail(kName, "conversion text too long");
            if (const auto choice = UnitFile::Accept(group, choices[u], conversion))
                Convert(*choice);
        }

        if (!IsPlainName(group)) continue;
        const UnitFile::AddResult added = units.AddUnit(group, kNewUnit, "2,5", "-1");
        if (added.status == UnitFile::AddStatus::Ok) {
            const std::vector<std::string> listed = units.Units(group);
            if (std::find(listed.begin(), listed.end(), kNewUnit) == listed.end())
                FuzzFail(kName, "added unit is not listed");
            if (units.ReadConversion(group, kNewUnit) != added.conversion)
                FuzzFail(kName, "added unit's conversion reads back changed");
            if (!units.DeleteUnit(group, kNewUnit)) FuzzFail(kName, "delete failed");
            const std::vector<std::string> left = units.Units(group);
            if (std::find(left.begin(), left.end(), kNewUnit) != left.end() &&
                std::count(listed.begin(), listed.end(), kNewUnit) < 2)
                FuzzFail(kName, "deleted unit still listed");
        } else if (added.message.empty()) {
            FuzzFail(kName, "refusal without a message");
        }
    }
    return 0;
}
