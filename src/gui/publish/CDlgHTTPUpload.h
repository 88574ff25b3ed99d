#pragma once

// CDlgHTTPUpload is the settings dialog of the HTTP upload.

#include <QDialog>
#include <string>

#include "publish/CHttpUpload.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;
class Ui;

// "HTTP upload settings": the switch, the script's address, the database and
// table, the script's user and password, and the proxy (kept, not used by the
// upload). OK takes the fields into the process's settings record and saves
// http_up.ini; the switch is the caller's to store after the dialog closes.
class CDlgHTTPUpload final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "HTTP upload settings";

    // `caption` titles the messages.
    CDlgHTTPUpload(CHttpUpload& upload, bool active, Ui& ui, std::string caption,
                   QWidget* parent = nullptr);

    // The switch as the dialog leaves it: the check box after OK, as opened otherwise.
    bool UploadActive() const { return m_active; }

    // OK: saves http_up.ini; a failure is shown and the dialog stays open.
    void accept() override;

    QCheckBox& ActiveBox() const { return *m_activeBox; }
    QLineEdit& PathField() const { return *m_path; }
    QLineEdit& DatabaseField() const { return *m_database; }
    QLineEdit& TableField() const { return *m_table; }
    QLineEdit& UserField() const { return *m_user; }
    QLineEdit& PasswordField() const { return *m_password; }
    QLineEdit& ProxyAddressField() const { return *m_proxyAddress; }
    QSpinBox& ProxyPortField() const { return *m_proxyPort; }

private:
    HttpUploadSettings Fields() const;

    CHttpUpload& m_upload;
    bool m_active;
    Ui& m_ui;
    std::string m_caption;
    QCheckBox* m_activeBox;
    QLineEdit* m_path;
    QLineEdit* m_database;
    QLineEdit* m_table;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QLineEdit* m_proxyAddress;
    QSpinBox* m_proxyPort;
};
