#include "gui/comm/CDlgModemSetts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/ui/Text.h"

namespace {

QLineEdit* NewField(const std::string& text) {
    auto* field = new QLineEdit(FromBytes(text));
    field->setMaxLength(static_cast<int>(ConnectionOptions::kMaxModemText));
    return field;
}

QLabel* NewLabel(const char* text, QWidget* buddy) {
    auto* label = new QLabel(QString::fromLatin1(text));
    label->setBuddy(buddy);
    return label;
}

}  // namespace

CDlgModemSetts::CDlgModemSetts(Profile& profile, std::string stationFile, Ui& ui,
                               std::string caption, QWidget* parent)
    : QDialog(parent),
      m_profile(profile),
      m_stationFile(std::move(stationFile)),
      m_ui(ui),
      m_caption(std::move(caption)) {
    setWindowTitle(QString::fromLatin1(kTitle));
    const ConnectionOptions::ModemFields stored =
        ConnectionOptions::OpenModemFields(m_profile, m_stationFile);

    m_phone = NewField(stored.phoneNumber);
    m_phone->setMinimumWidth(220);
    auto* remote = new QGroupBox(QStringLiteral("Remote modem"));
    auto* remoteLayout = new QFormLayout(remote);
    remoteLayout->addRow(NewLabel("&Telephone Number:", m_phone), m_phone);

    // The dial string is the command, the number and the termination, in this order.
    m_dialCommand = NewField(stored.dialCommand);
    m_termination = NewField(stored.dialTerminator);
    m_dialCommand->setMaximumWidth(110);
    m_termination->setMaximumWidth(110);
    m_before = NewField(stored.commandBefore);
    m_after = NewField(stored.commandAfter);
    auto* dial = new QGroupBox(QStringLiteral("Dial-Parameter"));
    auto* dialGrid = new QGridLayout;
    dialGrid->addWidget(NewLabel("&Dial-Command:", m_dialCommand), 0, 0);
    dialGrid->addWidget(NewLabel("Te&rmination", m_termination), 0, 2);
    dialGrid->addWidget(m_dialCommand, 1, 0);
    dialGrid->addWidget(new QLabel(QStringLiteral("+Tel. Nr.+")), 1, 1, Qt::AlignCenter);
    dialGrid->addWidget(m_termination, 1, 2);
    auto* commands = new QFormLayout;
    commands->addRow(NewLabel("Command &before connecting", m_before), m_before);
    commands->addRow(NewLabel("Command &when connected", m_after), m_after);
    auto* dialLayout = new QVBoxLayout(dial);
    dialLayout->addLayout(dialGrid);
    dialLayout->addLayout(commands);

    m_pin = NewField(stored.simPin);
    m_pin->setEchoMode(QLineEdit::Password);
    auto* pinRow = new QFormLayout;
    pinRow->addRow(NewLabel("&Pin-Number", m_pin), m_pin);

    m_timeout = new QLineEdit(FromBytes(stored.timeout));
    m_timeout->setMaxLength(6);
    m_timeout->setMaximumWidth(70);
    auto* limit = new QGroupBox(QStringLiteral("Timeout dial up"));
    auto* limitLayout = new QHBoxLayout(limit);
    limitLayout->addWidget(NewLabel("A&fter", m_timeout));
    limitLayout->addWidget(m_timeout);
    limitLayout->addWidget(new QLabel(QStringLiteral("minutes cancel connection automatically")));
    limitLayout->addStretch();

    // Shown as it always was, without any effect.
    m_logFile = new QCheckBox(QStringLiteral("Write Log file of connection"));
    m_logFile->setEnabled(false);

    auto* buttons = new QDialogButtonBox;
    m_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgModemSetts::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgModemSetts::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(remote);
    layout->addWidget(dial);
    layout->addLayout(pinRow);
    layout->addWidget(limit);
    layout->addWidget(m_logFile);
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    m_ok->setDefault(true);
    m_phone->setFocus();
}

ConnectionOptions::ModemFields CDlgModemSetts::Fields() const {
    ConnectionOptions::ModemFields fields;
    fields.phoneNumber = ToBytes(m_phone->text());
    fields.dialCommand = ToBytes(m_dialCommand->text());
    fields.dialTerminator = ToBytes(m_termination->text());
    fields.commandBefore = ToBytes(m_before->text());
    fields.commandAfter = ToBytes(m_after->text());
    fields.simPin = ToBytes(m_pin->text());
    fields.timeout = ToBytes(m_timeout->text());
    return fields;
}

void CDlgModemSetts::accept() {
    if (ConnectionOptions::AcceptModemFields(m_ui, m_caption, m_profile, m_stationFile, Fields()))
        QDialog::accept();
}
