#include "gui/comm/CDlgVerbOptionen.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/ui/Text.h"

namespace {

QLineEdit* NewSecondsField(const std::string& text) {
    auto* field = new QLineEdit(FromBytes(text));
    field->setMaxLength(12);
    field->setMaximumWidth(80);
    field->setAlignment(Qt::AlignRight);
    return field;
}

}  // namespace

CDlgVerbOptionen::CDlgVerbOptionen(Profile& profile, std::string stationFile,
                                   ConnectionType connection, ProcessWideSettings& processWide,
                                   Ui& ui, std::string caption, QWidget* parent)
    : QDialog(parent),
      m_profile(profile),
      m_stationFile(std::move(stationFile)),
      m_connection(connection),
      m_processWide(processWide),
      m_ui(ui),
      m_caption(std::move(caption)),
      m_opened(ConnectionOptions::OpenReconnectFields(m_profile, m_stationFile)) {
    setWindowTitle(QString::fromLatin1(kTitle));
    m_active =
        new QCheckBox(QStringLiteral("&When losing connection try automatically to reconnect."));
    m_active->setChecked(m_opened.active);
    m_delay = NewSecondsField(m_opened.delay);
    m_timeout = NewSecondsField(m_opened.timeout);

    auto* times = new QGridLayout;
    auto* delayLabel = new QLabel(QStringLiteral("&Trying to reconnect after"));
    delayLabel->setBuddy(m_delay);
    auto* timeoutLabel = new QLabel(QStringLiteral("Time for trying to &get data"));
    timeoutLabel->setBuddy(m_timeout);
    times->addWidget(delayLabel, 0, 0);
    times->addWidget(m_delay, 0, 1);
    times->addWidget(new QLabel(QStringLiteral("Seconds")), 0, 2);
    times->addWidget(timeoutLabel, 1, 0);
    times->addWidget(m_timeout, 1, 1);
    times->addWidget(new QLabel(QStringLiteral("Seconds")), 1, 2);
    times->setColumnStretch(3, 1);
    times->setContentsMargins(20, 0, 0, 0);

    auto* buttons = new QDialogButtonBox;
    m_save = buttons->addButton(QStringLiteral("&Save"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgVerbOptionen::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgVerbOptionen::reject);
    connect(m_active, &QCheckBox::toggled, this, &CDlgVerbOptionen::EnableTimes);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_active);
    layout->addLayout(times);
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    m_save->setDefault(true);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    EnableTimes();
    m_active->setFocus();
}

void CDlgVerbOptionen::EnableTimes() {
    m_delay->setEnabled(m_active->isChecked());
    m_timeout->setEnabled(m_active->isChecked());
}

void CDlgVerbOptionen::accept() {
    const ConnectionOptions::ReconnectFields entered{
        m_active->isChecked(), ToBytes(m_delay->text()), ToBytes(m_timeout->text())};
    if (ConnectionOptions::AcceptReconnectFields(m_ui, m_caption, m_profile, m_stationFile,
                                                 m_opened, entered, m_connection, m_processWide))
        QDialog::accept();
}
