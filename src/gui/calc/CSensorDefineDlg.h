#pragma once

// CSensorDefineDlg is the "Virtual sensor" dialog: one virtual sensor's definition.

#include <QDialog>
#include <cstdint>
#include <optional>
#include <string>

#include "calc/CSensorDefine.h"
#include "gui/calc/CNewORB.h"

class CSensoren;
class CWetterDoc;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class Ui;
class VirtualSensorDefinition;

// Shows the fields of a new or an existing virtual sensor; the rules are the
// core's CSensorDefine. "Check formula" shows the check's verdict and puts the
// caret where the formula stops making sense; "Function's help" appends a
// function with its placeholder selected. OK validates, stores and takes the
// sensor into the running document.
class CSensorDefineDlg final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Virtual sensor";

    // `sensor` is the virtual sensor to edit, or nullptr for a new one.
    CSensorDefineDlg(VirtualSensorDefinition& definition, const CSensoren* sensor, Ui& ui,
                     std::string caption, QWidget* parent = nullptr);

    // "Check formula".
    FormulaCheck::Result CheckFormula();
    // "Function's help".
    void FunctionHelp();
    // OK: validates in order, stores and applies; a failure is shown and the dialog stays.
    void accept() override;

    // The wind-rose settings window behind "Edit"; without it "Edit" stays off.
    void SetWindRoseEditor(CNewORB::EditWindRose edit);

    // The fields as entered.
    VirtualSensorInput Fields() const;

    QLineEdit& IdentifierField() const { return *m_identifier; }
    QLineEdit& NameField() const { return *m_name; }
    QLineEdit& UnitField() const { return *m_unit; }
    QLineEdit& FormulaField() const { return *m_formula; }
    QLabel& StatusText() const { return *m_status; }
    QPushButton& CheckButton() const { return *m_check; }
    QPushButton& HelpButton() const { return *m_help; }
    QLineEdit& LowerLimitField() const { return *m_lowerLimit; }
    QLineEdit& UpperLimitField() const { return *m_upperLimit; }
    QLineEdit& UnderflowField() const { return *m_underflow; }
    QLineEdit& OverflowField() const { return *m_overflow; }
    QSpinBox& DigitsField() const { return *m_digits; }
    QLineEdit& MinScaleField() const { return *m_minScale; }
    QLineEdit& MaxScaleField() const { return *m_maxScale; }
    QCheckBox& ConsiderMinBox() const { return *m_considerMin; }
    QCheckBox& ConsiderMaxBox() const { return *m_considerMax; }
    QRadioButton& CompleteAreaButton() const { return *m_completeArea; }
    QComboBox& ChartKindBox() const { return *m_chartKind; }
    QCheckBox& SumBox() const { return *m_sum; }
    QCheckBox& ActivityBox() const { return *m_activity; }
    QLabel& ThresholdLabel() const { return *m_thresholdLabel; }
    QLineEdit& ThresholdField() const { return *m_threshold; }
    QCheckBox& TendencyBox() const { return *m_tendency; }
    QSpinBox& TimeBaseField() const { return *m_timeBase; }
    QCheckBox& HourlySumBox() const { return *m_hourlySum; }
    QCheckBox& AzimuthBox() const { return *m_azimuth; }
    QPushButton& AzimuthEditButton() const { return *m_azimuthEdit; }

private:
    void BuildFields();
    void Fill(const VirtualSensorInput& input);
    void UpdateDependents();
    void ChooseColour();
    void ShowColour();
    void ShowCheck(const FormulaCheck::Outcome& outcome);
    void EditWindRoseClicked();
    void Message(const std::string& text);

    VirtualSensorDefinition& m_definition;
    bool m_isNew;
    Ui& m_ui;
    std::string m_caption;
    std::uint32_t m_colour = 0;
    std::optional<WindRoseSettings> m_windRose;
    CNewORB::EditWindRose m_editWindRose;

    QLineEdit* m_identifier;
    QLineEdit* m_name;
    QLineEdit* m_unit;
    QLineEdit* m_formula;
    QPushButton* m_check;
    QLabel* m_status;
    QPushButton* m_help;
    QLineEdit* m_lowerLimit;
    QLineEdit* m_upperLimit;
    QLineEdit* m_underflow;
    QLineEdit* m_overflow;
    QSpinBox* m_digits;
    QLineEdit* m_minScale;
    QLineEdit* m_maxScale;
    QCheckBox* m_considerMin;
    QCheckBox* m_considerMax;
    QRadioButton* m_selectedArea;
    QRadioButton* m_completeArea;
    QComboBox* m_chartKind;
    QPushButton* m_colourButton;
    QCheckBox* m_azimuth;
    QPushButton* m_azimuthEdit;
    QCheckBox* m_maximum;
    QCheckBox* m_minimum;
    QCheckBox* m_average;
    QCheckBox* m_sum;
    QButtonGroup* m_sumModes;
    QCheckBox* m_activity;
    QButtonGroup* m_activityModes;
    QLabel* m_thresholdLabel;
    QLineEdit* m_threshold;
    QCheckBox* m_tendency;
    QButtonGroup* m_tendencyModes;
    QLabel* m_timeBaseLabel;
    QSpinBox* m_timeBase;
    QCheckBox* m_hourlySum;
};

// Opens "Virtual sensor" for the station `document`: for the virtual sensor
// `identifier`, or for a new one when it is empty. True when OK stored it; the
// document computes it from its next record on.
bool ShowVirtualSensorDefinition(CWetterDoc& document, const std::string& identifier,
                                 QWidget* parent, CNewORB::EditWindRose editWindRose = {});
