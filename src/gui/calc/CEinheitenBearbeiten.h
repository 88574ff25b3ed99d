#pragma once

// CEinheitenBearbeiten ("edit units") adds and deletes the units of one group.

#include <QDialog>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class UnitFile;
class Ui;

// "Edit units": the group's units with the selected one's factor and offset;
// "New" and "Delete" write unit.ini at once, "OK" closes. "New group" adds a
// group and goes on with it, so a kind of sensor without a group gets one.
class CEinheitenBearbeiten final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Edit units";

    CEinheitenBearbeiten(UnitFile& units, std::string group, const std::string& selectedUnit,
                         Ui& ui, std::string caption, QWidget* parent = nullptr);

    // "New": asks for a unit with the insert-unit dialog and adds it.
    void NewUnit();
    // "Delete": removes the selected unit without asking.
    void DeleteUnit();
    // "New group": adds the group named in its field and shows its (empty) units.
    void NewGroup();

    // The group shown: the one opened with, or the last one added.
    const std::string& Group() const { return m_group; }

    QListWidget& UnitList() const { return *m_list; }
    QLabel& FactorText() const { return *m_factor; }
    QLabel& OffsetText() const { return *m_offset; }
    QLineEdit& NewGroupField() const { return *m_newGroup; }

private:
    void Refill(const std::string& select);
    void ShowConversion();
    std::optional<std::string> SelectedUnit() const;

    UnitFile& m_units;
    std::string m_group;
    Ui& m_ui;
    std::string m_caption;
    QLabel* m_groupName;
    QLineEdit* m_newGroup;
    QListWidget* m_list;
    QLabel* m_factor;
    QLabel* m_offset;
};
