#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Profile;

// unit.ini: the unit groups, the units of each group with their factor and
// offset texts, and the group that offers the pseudo-unit "Beaufort". Holds the
// rules of the "Units", "Edit units" and insert-unit dialogs; the dialogs only
// show lists and messages. Nothing is cached: every call reads the file afresh.
class UnitFile {
public:
    static constexpr std::string_view kBeaufort = "Beaufort";
    // What a sensor definition reads back of its "UnitGroup".
    static constexpr std::size_t kMaxGroupName = 49;

    // A unit's key split at its commas; a missing key gives two empty texts.
    struct Conversion {
        std::string factor;
        std::string offset;
        bool operator==(const Conversion&) const = default;
    };

    // What the sensor definition takes over on "Accept".
    struct UnitChoice {
        std::string group;
        std::string unit;
        Conversion conversion;
        bool beaufort = false;  // the unit is exactly "Beaufort"
    };

    // ListFull: the group's list would no longer fit the 999 characters that
    // are read, so the new unit would not be listed.
    enum class AddStatus { Ok, CheckInput, UnitUsed, ListFull, WriteFailed };
    struct AddResult {
        AddStatus status = AddStatus::Ok;
        // The message box text; empty on success.
        std::string message;
        // The normalised texts that were written ("%f").
        Conversion conversion;
    };

    // The unit file an installation starts with: a group for each kind of
    // sensor a station reports, its base unit first. dist/wetterunit.ini
    // holds the same bytes (Windows-1252, as every settings file).
    static std::string_view DefaultContents();
    // Writes DefaultContents() to `path` when nothing is there; a file that
    // exists, readable or not, is the owner's and stays. False when it was
    // missing and could not be written whole.
    static bool WriteDefaultWhenMissing(Profile& profile, const std::string& path);

    // `path` is unit.ini's full path (ProgramPaths::Named("unit.ini")).
    UnitFile(Profile& profile, std::string path);

    // "Sensornamenamen"/"Gruppen", in file order.
    std::vector<std::string> Groups() const;
    // "Beaufort"/"Gruppe", "Wind" when missing.
    std::string BeaufortGroup() const;
    // The "Units" dialog's list: "Beaufort" first when `group` is the Beaufort group.
    std::vector<std::string> UnitChoices(std::string_view group) const;
    // The group's "Einheiten", as the "Edit units" dialog lists them.
    std::vector<std::string> Units(std::string_view group) const;
    Conversion ReadConversion(std::string_view group, std::string_view unit) const;

    // "Accept" of the "Units" dialog with the current selections and the shown
    // texts; nullopt means the button does nothing.
    static std::optional<UnitChoice> Accept(const std::optional<std::string>& group,
                                            const std::optional<std::string>& unit,
                                            const Conversion& conversion);
    // The message of "Edit unit", or nullopt when the "Edit units" dialog may open.
    static std::optional<std::string> CheckEditUnit(const std::optional<std::string>& group);

    // The insert-unit dialog's "Ready": validates the name against
    // `existingUnits` and normalises factor and offset. On failure the status
    // and message say why and the conversion is empty.
    static AddResult CheckNewUnit(std::string_view name, std::string_view factor,
                                  std::string_view offset,
                                  const std::vector<std::string>& existingUnits);

    // Checks as CheckNewUnit against the group's units, then appends the unit
    // to "Einheiten" and writes its key. Nothing is written on failure.
    AddResult AddUnit(std::string_view group, std::string_view name, std::string_view factor,
                      std::string_view offset);
    // Appends the group `name` (outer blanks dropped) to "Sensornamenamen"/"Gruppen";
    // it has no units yet. The message box text when it is refused, nothing on success.
    std::optional<std::string> AddGroup(std::string_view name);
    // Removes the first entry equal to `unit` from "Einheiten" and deletes its
    // key. False when the file could not be written.
    bool DeleteUnit(std::string_view group, std::string_view unit);

private:
    std::vector<std::string> ReadUnitList(std::string_view group, std::size_t maxLength) const;
    bool WriteUnitList(std::string_view group, const std::vector<std::string>& units);

    Profile& m_profile;
    std::string m_path;
};
