#pragma once

// CDlgModemSetts ("modem settings") sets up dialling the station's modem.

#include <QDialog>
#include <string>

#include "app/ConnectionOptions.h"

class Profile;
class QCheckBox;
class QLineEdit;
class QPushButton;
class Ui;

// "GSM-Parameter Settings": the number to dial, how to dial it, the commands
// around the connection, the SIM's PIN and the connection limit in minutes.
// "OK" writes them to the modem section.
class CDlgModemSetts final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "GSM-Parameter Settings";

    // `caption` titles the messages.
    CDlgModemSetts(Profile& profile, std::string stationFile, Ui& ui, std::string caption,
                   QWidget* parent = nullptr);

    // "OK": a refused field is shown and the dialog stays open.
    void accept() override;

    ConnectionOptions::ModemFields Fields() const;

    QLineEdit& PhoneField() const { return *m_phone; }
    QLineEdit& DialCommandField() const { return *m_dialCommand; }
    QLineEdit& TerminationField() const { return *m_termination; }
    QLineEdit& BeforeField() const { return *m_before; }
    QLineEdit& AfterField() const { return *m_after; }
    QLineEdit& PinField() const { return *m_pin; }
    QLineEdit& TimeoutField() const { return *m_timeout; }
    QCheckBox& LogFileBox() const { return *m_logFile; }
    QPushButton& OkButton() const { return *m_ok; }
    QPushButton& CancelButton() const { return *m_cancel; }

private:
    Profile& m_profile;
    std::string m_stationFile;
    Ui& m_ui;
    std::string m_caption;
    QLineEdit* m_phone;
    QLineEdit* m_dialCommand;
    QLineEdit* m_termination;
    QLineEdit* m_before;
    QLineEdit* m_after;
    QLineEdit* m_pin;
    QLineEdit* m_timeout;
    QCheckBox* m_logFile;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
