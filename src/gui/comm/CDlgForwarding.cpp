#include "gui/comm/CDlgForwarding.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ForwardingForm.h"
#include "gui/ui/Text.h"

CDlgForwarding::CDlgForwarding(ForwardingForm& form, QWidget* parent)
    : QDialog(parent),
      m_form(form),
      m_port(new QComboBox),
      m_baud(new QComboBox),
      m_start(new QPushButton(QStringLiteral("Start"))),
      m_stop(new QPushButton(QStringLiteral("Stop"))),
      m_status(new QLabel) {
    setWindowTitle(FromBytes(ForwardingForm::kTitle));

    // Pseudo-terminals and other devices the search does not find can be typed.
    m_port->setEditable(true);
    m_port->setInsertPolicy(QComboBox::NoInsert);
    m_port->setMinimumContentsLength(28);
    m_port->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_baud->setEditable(true);
    m_baud->setInsertPolicy(QComboBox::NoInsert);
    for (const int rate : ForwardingForm::BaudRates()) m_baud->addItem(QString::number(rate));

    m_status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setMinimumHeight(2 * m_status->fontMetrics().lineSpacing() + 8);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("COM port:"), m_port);
    fields->addRow(QStringLiteral("Baud rate:"), m_baud);
    auto* startStop = new QHBoxLayout;
    startStop->addWidget(m_start);
    startStop->addWidget(m_stop);
    startStop->addStretch();

    auto* group = new QGroupBox(QStringLiteral("Serial port"));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addLayout(fields);
    groupLayout->addLayout(startStop);
    groupLayout->addWidget(m_status);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    // Return in a list must not start anything by itself.
    m_start->setAutoDefault(false);
    m_stop->setAutoDefault(false);
    connect(m_start, &QPushButton::clicked, this, &CDlgForwarding::Start);
    connect(m_stop, &QPushButton::clicked, this, &CDlgForwarding::Stop);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    ShowState();
    (m_form.Active() ? static_cast<QWidget*>(m_stop) : m_port)->setFocus();
}

void CDlgForwarding::ShowState() {
    const bool active = m_form.Active();
    m_port->clear();
    for (const std::string& port : m_form.Ports()) m_port->addItem(FromPath(port));
    const QString selected = FromPath(m_form.SelectedPort());
    // The port in use is not free, so it is not among the ports found.
    if (!selected.isEmpty()) m_port->setCurrentText(selected);
    m_baud->setCurrentText(QString::number(m_form.SelectedBaudRate()));

    m_port->setEnabled(!active);
    m_baud->setEnabled(!active);
    m_start->setEnabled(!active);
    m_stop->setEnabled(active);
    m_status->setText(
        FromPath(m_form.StatusText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void CDlgForwarding::Start() {
    const bool started =
        m_form.Start(ToPath(m_port->currentText()), ToBytes(m_baud->currentText()));
    if (!started) {
        m_port->setFocus();
        return;
    }
    ShowState();
    m_stop->setFocus();
}

void CDlgForwarding::Stop() {
    m_form.Stop();
    ShowState();
    m_start->setFocus();
}
