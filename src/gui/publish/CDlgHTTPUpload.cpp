#include "gui/publish/CDlgHTTPUpload.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cerrno>

#include "gui/ui/Text.h"
#include "platform/FileSystem.h"
#include "platform/Ui.h"

namespace {

QLineEdit* NewField(const std::string& text, int maxLength) {
    auto* field = new QLineEdit(FromBytes(text));
    field->setMaxLength(maxLength);
    return field;
}

}  // namespace

CDlgHTTPUpload::CDlgHTTPUpload(CHttpUpload& upload, bool active, Ui& ui, std::string caption,
                               QWidget* parent)
    : QDialog(parent),
      m_upload(upload),
      m_active(active),
      m_ui(ui),
      m_caption(std::move(caption)) {
    setWindowTitle(QString::fromLatin1(kTitle));
    const HttpUploadSettings& s = upload.Settings();
    const int text = static_cast<int>(CHttpUpload::kMaxText);

    m_activeBox = new QCheckBox(QStringLiteral("Activate HTTP Upload "));
    m_activeBox->setChecked(active);
    m_path = NewField(s.ScriptPath, static_cast<int>(CHttpUpload::kMaxScriptPath));
    m_path->setPlaceholderText(QStringLiteral("http://"));
    m_path->setMinimumWidth(320);
    m_database = NewField(s.Database, text);
    m_table = NewField(s.Table, text);
    m_user = NewField(s.UserName, text);
    m_password = NewField(s.UserPassword, text);
    m_password->setEchoMode(QLineEdit::Password);
    m_proxyAddress = NewField(s.ProxyAddress, text);
    m_proxyPort = new QSpinBox;
    m_proxyPort->setRange(0, 65535);
    m_proxyPort->setValue(s.ProxyPort);

    auto* script = new QFormLayout;
    script->addRow(QStringLiteral("HTTP &Path:"), m_path);
    script->addRow(QStringLiteral("&Data base:"), m_database);
    script->addRow(QStringLiteral("&Table:"), m_table);
    script->addRow(QStringLiteral("&User:"), m_user);
    script->addRow(QStringLiteral("Pass&word:"), m_password);

    auto* proxy = new QGroupBox(QStringLiteral("Http Proxy"));
    auto* proxyFields = new QFormLayout(proxy);
    proxyFields->addRow(QStringLiteral("&Address:"), m_proxyAddress);
    proxyFields->addRow(QStringLiteral("P&ort:"), m_proxyPort);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgHTTPUpload::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgHTTPUpload::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_activeBox);
    layout->addLayout(script);
    layout->addWidget(proxy);
    layout->addStretch();
    layout->addWidget(buttons);
    // Only a button inside the dialog becomes its default.
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    m_activeBox->setFocus();
}

HttpUploadSettings CDlgHTTPUpload::Fields() const {
    HttpUploadSettings s;
    s.ScriptPath = ToBytes(m_path->text().trimmed());
    s.Database = ToBytes(m_database->text());
    s.Table = ToBytes(m_table->text());
    s.UserName = ToBytes(m_user->text());
    s.UserPassword = ToBytes(m_password->text());
    s.ProxyAddress = ToBytes(m_proxyAddress->text().trimmed());
    s.ProxyPort = m_proxyPort->value();
    return s;
}

void CDlgHTTPUpload::accept() {
    const HttpUploadSettings before = m_upload.Settings();
    m_upload.Settings() = Fields();
    errno = 0;
    if (!m_upload.SaveUploadSettings()) {
        const int error = errno;
        m_upload.Settings() = before;
        std::string text = m_upload.File() + " couldn't be written";
        if (error != 0) text += ": " + FileSystem::SystemErrorText(error);
        m_ui.MessageBox(text, m_caption, MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    m_active = m_activeBox->isChecked();
    QDialog::accept();
}
