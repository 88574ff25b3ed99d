#include "gui/comm/CZeitStellen.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/ui/Text.h"

CZeitStellen::CZeitStellen(Clock& clock, std::time_t stationTime, QWidget* parent)
    : QDialog(parent),
      m_setting(clock, stationTime),
      m_pcTime(new QLabel(this)),
      m_stationTime(new QLabel(this)),
      m_deleteGroup(new QGroupBox(QStringLiteral("Delete datalogger (only ORB9 ! )"), this)),
      m_deleteNo(new QRadioButton(QStringLiteral("NO"), m_deleteGroup)),
      m_deleteYes(new QRadioButton(QStringLiteral("YES"), m_deleteGroup)),
      m_refresh(new QTimer(this)) {
    setWindowTitle(QString());
    setModal(true);

    auto* times = new QFormLayout;
    times->addRow(QStringLiteral("PC-time:"), m_pcTime);
    times->addRow(QStringLiteral("Time of weatherstation:"), m_stationTime);

    const char* choiceTexts[3] = {"Set weatherstation to PC-time",
                                  "Set PC to time of weatherstation", "no time settings"};
    auto* choices = new QVBoxLayout;
    auto* choiceGroup = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        m_choices[i] = new QRadioButton(QString::fromLatin1(choiceTexts[i]), this);
        choiceGroup->addButton(m_choices[i], i);
        choices->addWidget(m_choices[i]);
        connect(m_choices[i], &QRadioButton::toggled, this, [this] { ChoiceChanged(); });
    }
    m_choices[0]->setChecked(true);

    auto* deletion = new QHBoxLayout(m_deleteGroup);
    deletion->addWidget(m_deleteNo);
    deletion->addWidget(m_deleteYes);
    auto* deleteGroup = new QButtonGroup(this);
    deleteGroup->addButton(m_deleteNo);
    deleteGroup->addButton(m_deleteYes);
    m_deleteNo->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CZeitStellen::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CZeitStellen::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Time and date of weatherstation and PC differ !!!"), this));
    layout->addLayout(times);
    layout->addLayout(choices);
    layout->addWidget(m_deleteGroup);
    layout->addWidget(buttons);

    connect(m_refresh, &QTimer::timeout, this, [this] { Refresh(); });
    m_refresh->start(1000);
    Refresh();
}

std::optional<ClockDialogResult> CZeitStellen::Choose() {
    m_result.reset();
    exec();
    return m_result;
}

QString CZeitStellen::PcTimeText() const { return m_pcTime->text(); }
QString CZeitStellen::StationTimeText() const { return m_stationTime->text(); }

void CZeitStellen::Refresh() {
    m_pcTime->setText(FromBytes(m_setting.PcTimeText()));
    m_stationTime->setText(FromBytes(m_setting.StationTimeText()));
}

void CZeitStellen::ChoiceChanged() {
    for (int i = 0; i < 3; ++i)
        if (m_choices[i]->isChecked()) m_setting.choice = static_cast<ClockChoice>(i);
    m_deleteGroup->setEnabled(m_setting.DeletionEnabled());
}

void CZeitStellen::accept() {
    m_setting.deleteLogger = m_deleteYes->isChecked();
    m_result = m_setting.Accept();
    QDialog::accept();
}

std::optional<ClockDialogResult> QtClockDialog::Show(std::time_t stationTime) {
    CZeitStellen dialog(m_clock, stationTime, m_parent);
    return dialog.Choose();
}
