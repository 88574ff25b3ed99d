#pragma once

// CEinheitEinfuegen ("insert unit") asks for a new unit of a group.

#include <QDialog>
#include <string>
#include <vector>

#include "calc/UnitFile.h"

class QLineEdit;
class Ui;

// The unit's name, factor and offset. "Ready" refuses an empty or unusable
// name and one the group has, and closes with the normalised factor and offset.
class CEinheitEinfuegen final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Insert unit";

    CEinheitEinfuegen(std::vector<std::string> existingUnits, Ui& ui, std::string caption,
                      QWidget* parent = nullptr);

    // After "Ready": the name as typed and the "%f" texts.
    const std::string& UnitName() const { return m_name; }
    const UnitFile::Conversion& Conversion() const { return m_conversion; }

    QLineEdit& UnitField() const { return *m_unit; }
    QLineEdit& FactorField() const { return *m_factor; }
    QLineEdit& OffsetField() const { return *m_offset; }

    void accept() override;

private:
    std::vector<std::string> m_existingUnits;
    Ui& m_ui;
    std::string m_caption;
    std::string m_name;
    UnitFile::Conversion m_conversion;
    QLineEdit* m_unit;
    QLineEdit* m_factor;
    QLineEdit* m_offset;
};
