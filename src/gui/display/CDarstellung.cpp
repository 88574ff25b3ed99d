#include "gui/display/CDarstellung.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/ui/Text.h"
#include "platform/Clock.h"
#include "platform/Ui.h"
#include "storage/SensorSet.h"

namespace {

// The pickers cover what a 32-bit time can hold, as the data files' times do.
const QDateTime kEarliest(QDate(1970, 1, 1), QTime(0, 0));
const QDateTime kLatest(QDate(2038, 1, 18), QTime(23, 59, 59));

std::time_t ToTime(const QDateEdit& day, const QTimeEdit& time) {
    return QDateTime(day.date(), time.time()).toSecsSinceEpoch();
}

void ShowTime(QDateEdit& day, QTimeEdit& time, std::time_t value) {
    const QDateTime shown = QDateTime::fromSecsSinceEpoch(value);
    day.setDate(shown.date());
    time.setTime(shown.time());
}

}  // namespace

CDarstellung::CDarstellung(const DiagramPeriod& period, const SensorSet& sensors,
                           const std::vector<std::string>& selected, bool connected, Clock& clock,
                           Ui& ui, std::string caption, QWidget* parent)
    : QDialog(parent),
      m_clock(clock),
      m_ui(ui),
      m_caption(std::move(caption)),
      m_connected(connected) {
    setWindowTitle("Selection of time period / sensors");
    const PeriodChoice opening = period.OpeningChoice(connected, clock.Now());

    // Period: where it starts and where it ends.
    auto* startGroup = new QGroupBox("Start");
    m_lastHours = new QRadioButton("last x hours");
    m_hours = new QSpinBox;
    m_hours->setRange(DiagramPeriod::kMinHours, DiagramPeriod::kMaxHours);
    m_hours->setValue(opening.hours);
    m_hoursUnit = new QLabel("h");
    m_startDate = new QRadioButton("Date / time");
    m_startDay = new QDateEdit;
    m_startTime = new QTimeEdit;
    auto* startLayout = new QGridLayout(startGroup);
    startLayout->addWidget(m_lastHours, 0, 0);
    startLayout->addWidget(m_hours, 0, 1);
    startLayout->addWidget(m_hoursUnit, 0, 2);
    startLayout->addWidget(m_startDate, 1, 0);
    startLayout->addWidget(m_startDay, 1, 1);
    startLayout->addWidget(m_startTime, 1, 2);
    auto* startButtons = new QButtonGroup(this);
    startButtons->addButton(m_lastHours);
    startButtons->addButton(m_startDate);

    auto* endGroup = new QGroupBox("End");
    m_presentTime = new QRadioButton("present time");
    m_endDate = new QRadioButton("Date / time");
    m_endDay = new QDateEdit;
    m_endTime = new QTimeEdit;
    auto* endLayout = new QGridLayout(endGroup);
    endLayout->addWidget(m_presentTime, 0, 0);
    endLayout->addWidget(m_endDate, 1, 0);
    endLayout->addWidget(m_endDay, 1, 1);
    endLayout->addWidget(m_endTime, 1, 2);
    auto* endButtons = new QButtonGroup(this);
    endButtons->addButton(m_presentTime);
    endButtons->addButton(m_endDate);

    for (QDateEdit* day : {m_startDay, m_endDay}) {
        day->setCalendarPopup(true);
        day->setDisplayFormat("dd.MM.yyyy");
        day->setDateRange(kEarliest.date(), kLatest.date());
    }
    for (QTimeEdit* time : {m_startTime, m_endTime}) time->setDisplayFormat("HH:mm:ss");

    auto* modeGroup = new QGroupBox("Data");
    auto* modeLayout = new QVBoxLayout(modeGroup);
    const char* modeTexts[4] = {"All average values", "Maximum values", "Minimum values", "Random"};
    auto* modeButtons = new QButtonGroup(this);
    for (int mode = 0; mode < 4; ++mode) {
        m_dataModes[mode] = new QRadioButton(modeTexts[mode]);
        modeButtons->addButton(m_dataModes[mode]);
        modeLayout->addWidget(m_dataModes[mode]);
    }
    m_momentary = new QCheckBox("All momentary values");
    modeLayout->addSpacing(6);
    modeLayout->addWidget(m_momentary);

    m_sensors = new QTreeWidget;
    m_sensors->setColumnCount(1);
    m_sensors->setHeaderLabels({"Codes"});
    m_sensors->setRootIsDecorated(false);
    m_sensors->setMinimumWidth(220);
    for (const SensorListLine& line : SensorListLines(sensors, selected)) {
        auto* item = new QTreeWidgetItem(m_sensors, {FromBytes(line.text)});
        item->setData(0, Qt::UserRole, FromBytes(line.identifier));
        item->setCheckState(0, line.checked ? Qt::Checked : Qt::Unchecked);
    }

    auto* buttons = new QDialogButtonBox;
    QPushButton* getData = buttons->addButton("Get data", QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDarstellung::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(startGroup);
    left->addWidget(endGroup);
    left->addWidget(modeGroup);
    left->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(m_sensors, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    getData->setDefault(true);

    // Fill from the view, then let the rules decide what takes input.
    (opening.lastHours ? m_lastHours : m_startDate)->setChecked(true);
    (opening.presentTime ? m_presentTime : m_endDate)->setChecked(true);
    SetStart(opening.start);
    SetEnd(opening.end);
    const int mode = opening.dataMode >= 0 && opening.dataMode < 4 ? opening.dataMode : 0;
    m_dataModes[mode]->setChecked(true);
    m_momentary->setChecked(opening.momentary);
    for (QAbstractButton* button :
         {static_cast<QAbstractButton*>(m_lastHours), static_cast<QAbstractButton*>(m_startDate),
          static_cast<QAbstractButton*>(m_presentTime), static_cast<QAbstractButton*>(m_endDate),
          static_cast<QAbstractButton*>(m_momentary)})
        connect(button, &QAbstractButton::toggled, this, &CDarstellung::UpdateControlStates);
    UpdateControlStates();
}

void CDarstellung::SetStart(std::time_t time) { ShowTime(*m_startDay, *m_startTime, time); }

void CDarstellung::SetEnd(std::time_t time) { ShowTime(*m_endDay, *m_endTime, time); }

PeriodChoice CDarstellung::ReadControls() const {
    PeriodChoice choice;
    choice.momentary = m_momentary->isChecked();
    choice.lastHours = m_lastHours->isChecked();
    choice.presentTime = m_presentTime->isChecked();
    choice.hours = m_hours->value();
    choice.start = ToTime(*m_startDay, *m_startTime);
    choice.end = ToTime(*m_endDay, *m_endTime);
    for (int mode = 0; mode < 4; ++mode)
        if (m_dataModes[mode]->isChecked()) choice.dataMode = mode;
    for (int row = 0; row < m_sensors->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_sensors->topLevelItem(row);
        if (item->checkState(0) == Qt::Checked)
            choice.checkedIdentifiers.push_back(ToBytes(item->data(0, Qt::UserRole).toString()));
    }
    return choice;
}

void CDarstellung::UpdateControlStates() {
    const PeriodControlStates states = PeriodDialogControls(ReadControls(), m_connected);
    m_momentary->setEnabled(states.momentary);
    for (QWidget* radio : {static_cast<QWidget*>(m_lastHours), static_cast<QWidget*>(m_startDate),
                           static_cast<QWidget*>(m_presentTime), static_cast<QWidget*>(m_endDate)})
        radio->setEnabled(states.periodRadios);
    m_hours->setEnabled(states.hours);
    m_hoursUnit->setEnabled(states.hours);
    m_startDay->setEnabled(states.startPickers);
    m_startTime->setEnabled(states.startPickers);
    m_endDay->setEnabled(states.endPickers);
    m_endTime->setEnabled(states.endPickers);
    for (QRadioButton* mode : m_dataModes) mode->setEnabled(states.dataMode);
}

void CDarstellung::accept() {
    const PeriodChoice choice = ReadControls();
    const PeriodAcceptance acceptance = AcceptPeriod(choice, m_clock.Now());
    if (!acceptance.accepted) {
        m_ui.MessageBox(acceptance.message, m_caption, MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    m_choice = choice;
    m_acceptance = acceptance;
    QDialog::accept();
}
