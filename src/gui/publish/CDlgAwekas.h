#pragma once

// CDlgAwekas is the settings dialog of the AWEKAS upload.

#include <QDialog>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "publish/AwekasSettings.h"

class Profile;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class SensorSet;
class Ui;

// "AWEKAS Settings": the switch, the account, the proxy, the software flag and
// the thirteen sensor assignments chosen among the station's current values.
// OK takes the fields into the process's settings record and saves awekas.ini.
class CDlgAwekas final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "AWEKAS Settings";

    // Sends a check upload with the saved settings and hands the reply to its
    // argument later, on the user-interface thread; false when the saved
    // settings have the upload switched off.
    using CheckConnection =
        std::function<bool(std::function<void(const std::string& reply)> replied)>;

    // `file` is awekas.ini; `caption` titles the messages.
    CDlgAwekas(AwekasSettings& settings, Profile& profile, std::string file,
               const SensorSet& sensors, CheckConnection check, Ui& ui, std::string caption,
               QWidget* parent = nullptr);

    // OK: saves awekas.ini; a failure is shown and the dialog stays open.
    void accept() override;

    QCheckBox& ActiveBox() const { return *m_active; }
    QLineEdit& UserField() const { return *m_user; }
    QLineEdit& PasswordField() const { return *m_password; }
    QCheckBox& ProxyBox() const { return *m_proxy; }
    QLineEdit& ProxyAddressField() const { return *m_proxyAddress; }
    QSpinBox& ProxyPortField() const { return *m_proxyPort; }
    QLineEdit& ProxyUserField() const { return *m_proxyUser; }
    QLineEdit& ProxyPasswordField() const { return *m_proxyPassword; }
    QLineEdit& SoftwareField() const { return *m_software; }
    QComboBox& SensorBox(AwekasSensor which) const {
        return *m_sensorBoxes[static_cast<std::size_t>(which)];
    }
    QPushButton& CheckButton() const { return *m_check; }

private:
    AwekasDialogFields Fields() const;
    void UpdateEnabling();
    void RunCheck();

    AwekasSettings& m_settings;
    Profile& m_profile;
    std::string m_file;
    std::vector<AwekasSensorChoice> m_choices;
    CheckConnection m_checkConnection;
    Ui& m_ui;
    std::string m_caption;
    QCheckBox* m_active;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QCheckBox* m_proxy;
    QLineEdit* m_proxyAddress;
    QSpinBox* m_proxyPort;
    QLineEdit* m_proxyUser;
    QLineEdit* m_proxyPassword;
    QLineEdit* m_software;
    std::array<QComboBox*, kAwekasSensorCount> m_sensorBoxes{};
    QPushButton* m_check;
};
