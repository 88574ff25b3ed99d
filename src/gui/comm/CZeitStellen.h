#pragma once

// CZeitStellen ("set the time") is the clock dialog.

#include <QDialog>
#include <optional>

#include "app/ClockSync.h"

class QLabel;
class QRadioButton;
class QGroupBox;
class QTimer;

// The clock dialog: PC time and station time side by side, what to set, and
// whether to delete the data logger. The rules are ClockSetting's.
class CZeitStellen final : public QDialog {
    Q_OBJECT
public:
    CZeitStellen(Clock& clock, std::time_t stationTime, QWidget* parent = nullptr);

    // Runs modally; nothing when cancelled.
    std::optional<ClockDialogResult> Choose();

    QRadioButton& ChoiceButton(int choice) const { return *m_choices[choice]; }
    QRadioButton& DeleteButton(bool yes) const { return yes ? *m_deleteYes : *m_deleteNo; }
    QString PcTimeText() const;
    QString StationTimeText() const;

    void accept() override;

private:
    void Refresh();
    void ChoiceChanged();

    ClockSetting m_setting;
    std::optional<ClockDialogResult> m_result;
    QLabel* m_pcTime;
    QLabel* m_stationTime;
    QRadioButton* m_choices[3];
    QGroupBox* m_deleteGroup;
    QRadioButton* m_deleteNo;
    QRadioButton* m_deleteYes;
    QTimer* m_refresh;
};

// Shows CZeitStellen when the initialisation asks.
class QtClockDialog final : public ClockDialog {
public:
    QtClockDialog(Clock& clock, QWidget* parent) : m_clock(clock), m_parent(parent) {}
    std::optional<ClockDialogResult> Show(std::time_t stationTime) override;

private:
    Clock& m_clock;
    QWidget* m_parent;
};
