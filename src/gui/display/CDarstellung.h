#pragma once

// CDarstellung ("display") is the period dialog of a diagram view.

#include <QDialog>
#include <ctime>
#include <string>
#include <vector>

#include "display/DiagramPeriod.h"

class Clock;
class QCheckBox;
class QDateEdit;
class QLabel;
class QRadioButton;
class QSpinBox;
class QTimeEdit;
class QTreeWidget;
class SensorSet;
class Ui;

// "Selection of time period / sensors": the period, the data mode and the
// sensors of a view. The rules are DiagramPeriod's; this window only shows them.
class CDarstellung final : public QDialog {
    Q_OBJECT
public:
    CDarstellung(const DiagramPeriod& period, const SensorSet& sensors,
                 const std::vector<std::string>& selected, bool connected, Clock& clock, Ui& ui,
                 std::string caption, QWidget* parent = nullptr);

    // Valid after the dialog was accepted.
    const PeriodChoice& Choice() const { return m_choice; }
    const PeriodAcceptance& Acceptance() const { return m_acceptance; }

    // "Get data": the choice is checked; a message keeps the dialog open.
    void accept() override;

    // The controls, for tests.
    QRadioButton& LastHoursButton() const { return *m_lastHours; }
    QRadioButton& StartDateButton() const { return *m_startDate; }
    QRadioButton& PresentTimeButton() const { return *m_presentTime; }
    QRadioButton& EndDateButton() const { return *m_endDate; }
    QRadioButton& DataModeButton(int mode) const { return *m_dataModes[mode]; }
    QCheckBox& MomentaryBox() const { return *m_momentary; }
    QSpinBox& HoursField() const { return *m_hours; }
    QTreeWidget& SensorList() const { return *m_sensors; }
    void SetStart(std::time_t time);
    void SetEnd(std::time_t time);

private:
    PeriodChoice ReadControls() const;
    void UpdateControlStates();

    Clock& m_clock;
    Ui& m_ui;
    std::string m_caption;
    bool m_connected;
    PeriodChoice m_choice;
    PeriodAcceptance m_acceptance;
    QRadioButton* m_lastHours;
    QRadioButton* m_startDate;
    QRadioButton* m_presentTime;
    QRadioButton* m_endDate;
    QSpinBox* m_hours;
    QLabel* m_hoursUnit;
    QDateEdit* m_startDay;
    QTimeEdit* m_startTime;
    QDateEdit* m_endDay;
    QTimeEdit* m_endTime;
    QRadioButton* m_dataModes[4];
    QCheckBox* m_momentary;
    QTreeWidget* m_sensors;
};
