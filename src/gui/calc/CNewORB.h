#pragma once

// CNewORB is the dialog "Definition of sensors" of a station sensor.

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "calc/StationSensorDefine.h"
#include "calc/UnitFile.h"
#include "model/WindRoseSettings.h"

class OrbsetForm;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class Ui;

// Name, unit, limits, digits, diagram scale and look, the statistics of the
// single-value window and the wind-rose switch of one station sensor. OK
// validates (StationSensorDefine) and hands the result to OrbsetForm, which
// stores it and lets the station take it over.
class CNewORB final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Definition of sensors";

    // The "Units" dialog: the sensor's group and unit to preselect; the choice
    // on "Accept", nothing on "Cancel".
    using ChooseUnit = std::function<std::optional<UnitFile::UnitChoice>(
        QWidget* parent, const std::string& group, const std::string& unit)>;
    // The wind-rose settings dialog: the settings to start from; the new ones on OK.
    using EditWindRose = std::function<std::optional<WindRoseSettings>(
        QWidget* parent, const WindRoseSettings& settings)>;

    // `initial` are the sensor's fields as opened; `caption` titles the messages.
    CNewORB(OrbsetForm& form, StationSensorInput initial, const WindRoseSettings& windRose,
            ChooseUnit chooseUnit, EditWindRose editWindRose, Ui& ui, std::string caption,
            QWidget* parent = nullptr);

    // The fields as entered now.
    StationSensorInput Fields() const;

    // OK: the validation's message, or the file's, keeps the dialog open.
    void accept() override;

    // The controls, for tests.
    QLineEdit& LabelField() const { return *m_label; }
    QLineEdit& NameField() const { return *m_name; }
    QLineEdit& UnitField() const { return *m_unit; }
    QPushButton& UnitButton() const { return *m_unitButton; }
    QLineEdit& LowerLimitField() const { return *m_lower; }
    QLineEdit& UpperLimitField() const { return *m_upper; }
    QSpinBox& DigitsBox() const { return *m_digits; }
    QLineEdit& AltitudeField() const { return *m_altitude; }
    QCheckBox& ConsiderMinBox() const { return *m_considerMin; }
    QCheckBox& ConsiderMaxBox() const { return *m_considerMax; }
    QLineEdit& MinScaleField() const { return *m_minScale; }
    QLineEdit& MaxScaleField() const { return *m_maxScale; }
    QRadioButton& SelectedAreaButton() const { return *m_selectedArea; }
    QRadioButton& CompleteAreaButton() const { return *m_completeArea; }
    QComboBox& ChartBox() const { return *m_chart; }
    QPushButton& ColourButton() const { return *m_colourButton; }
    QCheckBox& MaximumBox() const { return *m_maximum; }
    QCheckBox& MinimumBox() const { return *m_minimum; }
    QCheckBox& AverageBox() const { return *m_average; }
    QCheckBox& SumBox() const { return *m_sum; }
    QRadioButton& SumModeButton(int mode) const { return *m_sumModes[mode]; }
    QCheckBox& ActivityBox() const { return *m_activity; }
    QRadioButton& ActivityModeButton(int mode) const { return *m_activityModes[mode]; }
    QLabel& ThresholdLabel() const { return *m_thresholdLabel; }
    QLineEdit& ThresholdField() const { return *m_threshold; }
    QCheckBox& TendencyBox() const { return *m_tendency; }
    QRadioButton& TendencyModeButton(int mode) const { return *m_tendencyModes[mode]; }
    QSpinBox& TimeBaseBox() const { return *m_timeBase; }
    QCheckBox& WindRoseBox() const { return *m_windRoseBox; }
    QPushButton& WindRoseButton() const { return *m_windRoseButton; }
    std::uint32_t Colour() const { return m_colour; }

private:
    void FillFields();
    void FollowBoxes();
    void ChooseUnitClicked();
    void ChooseColourClicked();
    void EditWindRoseClicked();
    void ShowColour();

    OrbsetForm& m_form;
    const StationSensorInput m_initial;
    ChooseUnit m_chooseUnit;
    EditWindRose m_editWindRose;
    Ui& m_ui;
    std::string m_caption;
    // What "Unit selection" and "Color" chose; the rest is in the controls.
    std::string m_unitGroup;
    std::string m_factor;
    std::string m_offset;
    bool m_beaufort = false;
    std::uint32_t m_colour = 0;
    WindRoseSettings m_windRose;
    bool m_windRoseEdited = false;

    QLineEdit* m_label;
    QLineEdit* m_name;
    QLineEdit* m_unit;
    QPushButton* m_unitButton;
    QLineEdit* m_lower;
    QLineEdit* m_upper;
    QSpinBox* m_digits;
    QLineEdit* m_altitude;
    QCheckBox* m_considerMin;
    QCheckBox* m_considerMax;
    QLineEdit* m_minScale;
    QLineEdit* m_maxScale;
    QRadioButton* m_selectedArea;
    QRadioButton* m_completeArea;
    QComboBox* m_chart;
    QPushButton* m_colourButton;
    QLabel* m_colourField;
    QCheckBox* m_maximum;
    QCheckBox* m_minimum;
    QCheckBox* m_average;
    QCheckBox* m_sum;
    QRadioButton* m_sumModes[3];
    QCheckBox* m_activity;
    QRadioButton* m_activityModes[2];
    QLabel* m_thresholdLabel;
    QLineEdit* m_threshold;
    QCheckBox* m_tendency;
    QRadioButton* m_tendencyModes[2];
    QLabel* m_timeBaseLabel;
    QSpinBox* m_timeBase;
    QCheckBox* m_windRoseBox;
    QPushButton* m_windRoseButton;
};
