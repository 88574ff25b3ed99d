#include "gui/publish/CDlgAwekas.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>

#include "gui/ui/Text.h"
#include "platform/FileSystem.h"
#include "platform/Ui.h"
#include "publish/CAwekas.h"

namespace {

QLineEdit* NewField(const std::string& text) {
    auto* field = new QLineEdit(FromBytes(text));
    field->setMaxLength(static_cast<int>(kAwekasMaxText));
    return field;
}

QLineEdit* NewSecretField(const std::string& text) {
    QLineEdit* field = NewField(text);
    field->setEchoMode(QLineEdit::Password);
    return field;
}

}  // namespace

CDlgAwekas::CDlgAwekas(AwekasSettings& settings, Profile& profile, std::string file,
                       const SensorSet& sensors, CheckConnection check, Ui& ui,
                       std::string caption, QWidget* parent)
    : QDialog(parent),
      m_settings(settings),
      m_profile(profile),
      m_file(std::move(file)),
      m_choices(AwekasSensorChoices(sensors)),
      m_checkConnection(std::move(check)),
      m_ui(ui),
      m_caption(std::move(caption)) {
    setWindowTitle(QString::fromLatin1(kTitle));

    m_active = new QCheckBox(QStringLiteral("Activate AWEKAS"));
    m_active->setChecked(settings.active);
    m_user = NewField(settings.user);
    m_password = NewSecretField(settings.password);
    m_proxy = new QCheckBox(QStringLiteral("Http Proxy"));
    m_proxy->setChecked(settings.proxyOn);
    m_proxyAddress = NewField(settings.proxyAddress);
    m_proxyPort = new QSpinBox;
    m_proxyPort->setRange(0, 65535);
    m_proxyPort->setValue(static_cast<int>(std::min(settings.proxyPort, 65535u)));
    m_proxyUser = NewField(settings.proxyUser);
    m_proxyPassword = NewSecretField(settings.proxyPassword);
    m_software = new QLineEdit(FromBytes(settings.softwareFlag));
    m_software->setReadOnly(true);
    m_check = new QPushButton(QStringLiteral("Check connection"));
    m_check->setAutoDefault(false);
    m_check->setToolTip(QStringLiteral("Sends the current values with the saved settings"));

    auto* account = new QFormLayout;
    account->addRow(QStringLiteral("&User:"), m_user);
    account->addRow(QStringLiteral("&Password:"), m_password);
    account->addRow(QStringLiteral("Software:"), m_software);

    auto* proxyBox = new QGroupBox;
    auto* proxy = new QFormLayout(proxyBox);
    proxy->addRow(m_proxy);
    proxy->addRow(QStringLiteral("&Address:"), m_proxyAddress);
    proxy->addRow(QStringLiteral("P&ort:"), m_proxyPort);
    proxy->addRow(QStringLiteral("Proxy u&ser:"), m_proxyUser);
    proxy->addRow(QStringLiteral("Proxy pass&word:"), m_proxyPassword);

    auto* left = new QVBoxLayout;
    left->addWidget(m_active);
    left->addLayout(account);
    left->addWidget(proxyBox);
    left->addStretch();
    auto* checkRow = new QHBoxLayout;
    checkRow->addWidget(m_check);
    checkRow->addStretch();
    left->addLayout(checkRow);

    auto* sensorGroup = new QGroupBox(QStringLiteral("Sensors"));
    auto* grid = new QGridLayout(sensorGroup);
    for (std::size_t i = 0; i < kAwekasSensorCount; ++i) {
        auto* box = new QComboBox;
        for (const AwekasSensorChoice& choice : m_choices)
            box->addItem(FromBytes(choice.name), FromBytes(choice.identifier));
        const std::optional<std::size_t> selected =
            AwekasSelectedChoice(m_choices, settings.sensors[i]);
        box->setCurrentIndex(selected ? static_cast<int>(*selected) : -1);
        box->setMinimumContentsLength(16);
        auto* label = new QLabel(QString::fromLatin1(kAwekasSensorKeys[i].label.data(),
                                                     kAwekasSensorKeys[i].label.size()));
        label->setBuddy(box);
        const int row = static_cast<int>(i);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        m_sensorBoxes[i] = box;
    }
    grid->setColumnStretch(1, 1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addSpacing(8);
    columns->addWidget(sensorGroup, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgAwekas::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgAwekas::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    connect(m_active, &QCheckBox::toggled, this, &CDlgAwekas::UpdateEnabling);
    connect(m_proxy, &QCheckBox::toggled, this, &CDlgAwekas::UpdateEnabling);
    connect(m_check, &QPushButton::clicked, this, &CDlgAwekas::RunCheck);
    UpdateEnabling();
    m_active->setFocus();
}

void CDlgAwekas::UpdateEnabling() {
    const AwekasDialogEnabling enabled =
        AwekasDialogFieldsEnabled(m_active->isChecked(), m_proxy->isChecked());
    for (QWidget* field : {static_cast<QWidget*>(m_user), static_cast<QWidget*>(m_password)})
        field->setEnabled(enabled.uploadFields);
    for (QComboBox* box : m_sensorBoxes) box->setEnabled(enabled.uploadFields);
    for (QWidget* field : {static_cast<QWidget*>(m_proxyAddress), static_cast<QWidget*>(m_proxyPort),
                           static_cast<QWidget*>(m_proxyUser),
                           static_cast<QWidget*>(m_proxyPassword)})
        field->setEnabled(enabled.proxyFields);
}

AwekasDialogFields CDlgAwekas::Fields() const {
    AwekasDialogFields fields;
    fields.active = m_active->isChecked();
    fields.user = ToBytes(m_user->text());
    fields.password = ToBytes(m_password->text());
    fields.proxyOn = m_proxy->isChecked();
    fields.proxyAddress = ToBytes(m_proxyAddress->text().trimmed());
    fields.proxyPort = static_cast<unsigned>(m_proxyPort->value());
    fields.proxyUser = ToBytes(m_proxyUser->text());
    fields.proxyPassword = ToBytes(m_proxyPassword->text());
    for (std::size_t i = 0; i < kAwekasSensorCount; ++i)
        if (const int index = m_sensorBoxes[i]->currentIndex(); index >= 0)
            fields.sensors[i] = m_choices[static_cast<std::size_t>(index)].identifier;
    return fields;
}

void CDlgAwekas::accept() {
    AwekasSettings changed = m_settings;
    ApplyAwekasDialog(Fields(), changed);
    errno = 0;
    if (!SaveAwekasSettings(m_profile, m_file, changed)) {
        const int error = errno;
        std::string text = m_file + " couldn't be written";
        if (error != 0) text += ": " + FileSystem::SystemErrorText(error);
        m_ui.MessageBox(text, m_caption, MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    m_settings = changed;
    QDialog::accept();
}

void CDlgAwekas::RunCheck() {
    if (!m_checkConnection) return;
    // The reply may come after the dialog is gone; it is shown all the same.
    QPointer<CDlgAwekas> dialog(this);
    Ui& ui = m_ui;
    const std::string caption = m_caption;
    const bool sent = m_checkConnection([dialog, &ui, caption](const std::string& reply) {
        if (dialog) dialog->m_check->setEnabled(true);
        ui.MessageBox(reply.empty() ? "No reply came from " + std::string(CAwekas::kServiceHost) + "."
                                    : reply,
                      caption, MsgButtons::Ok, MsgIcon::Information);
    });
    if (!sent) {
        m_ui.MessageBox(
            "The check sends with the saved settings, and there the AWEKAS upload is not "
            "activated. Activate it and press OK first.",
            m_caption, MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    m_check->setEnabled(false);
}
