#pragma once

// CEinheiten ("units") chooses a sensor's unit from unit.ini.

#include <QDialog>
#include <optional>
#include <string>

#include "calc/UnitFile.h"

class QLabel;
class QListWidget;
class Ui;

// "Units": the unit groups and the units of the selected group (with
// "Beaufort" in the Beaufort group). "Edit unit" opens "Edit units" for the
// group; "Accept" closes with a unit that has a factor and an offset.
class CEinheiten final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Units";

    // `group` and `unit` are the sensor's, selected when unit.ini has them.
    CEinheiten(UnitFile& units, const std::string& group, const std::string& unit, Ui& ui,
               std::string caption, QWidget* parent = nullptr);

    // After "Accept": what the sensor takes over.
    const std::optional<UnitFile::UnitChoice>& Choice() const { return m_choice; }

    // "Edit unit": a message without a group, else "Edit units" for it.
    void EditUnits();
    // "Accept": does nothing unless the unit has a factor and an offset, or is "Beaufort".
    void accept() override;

    QListWidget& GroupList() const { return *m_groups; }
    QListWidget& UnitList() const { return *m_unitList; }
    QLabel& FactorText() const { return *m_factor; }
    QLabel& OffsetText() const { return *m_offset; }

private:
    void FillGroups(const std::string& select);
    void FillUnits(const std::string& select);
    void ShowConversion();
    static std::optional<std::string> Selected(const QListWidget& list);

    UnitFile& m_units;
    Ui& m_ui;
    std::string m_caption;
    UnitFile::Conversion m_conversion;
    std::optional<UnitFile::UnitChoice> m_choice;
    QListWidget* m_groups;
    QListWidget* m_unitList;
    QLabel* m_factor;
    QLabel* m_offset;
};

class Profile;
class ProgramPaths;
// Runs "Units" over the station's unit.ini; the choice after "Accept", nothing after "Cancel".
std::optional<UnitFile::UnitChoice> ChooseUnit(Profile& profile, const ProgramPaths& paths,
                                               const std::string& group, const std::string& unit,
                                               Ui& ui, const std::string& caption, QWidget* parent);
