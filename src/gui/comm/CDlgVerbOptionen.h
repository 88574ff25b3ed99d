#pragma once

// CDlgVerbOptionen ("connection options") sets the automatic reconnect.

#include <QDialog>
#include <string>

#include "app/ConnectionOptions.h"

class Profile;
class QCheckBox;
class QLineEdit;
class QPushButton;
class Ui;

// "Connection options": whether a lost connection is taken up again by itself,
// after how many seconds, and how long the initialisation then waits for data.
// "Save" writes them and switches the process's reconnect at once.
class CDlgVerbOptionen final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Connection options";

    // `connection` is the type the station is reached by now (a modem never
    // reconnects by itself); `processWide` holds the switch that acts at once.
    CDlgVerbOptionen(Profile& profile, std::string stationFile, ConnectionType connection,
                     ProcessWideSettings& processWide, Ui& ui, std::string caption,
                     QWidget* parent = nullptr);

    // "Save": a refused field is shown and the dialog stays open.
    void accept() override;

    QCheckBox& ReconnectBox() const { return *m_active; }
    QLineEdit& DelayField() const { return *m_delay; }
    QLineEdit& TimeoutField() const { return *m_timeout; }
    QPushButton& SaveButton() const { return *m_save; }
    QPushButton& CancelButton() const { return *m_cancel; }

private:
    void EnableTimes();

    Profile& m_profile;
    std::string m_stationFile;
    ConnectionType m_connection;
    ProcessWideSettings& m_processWide;
    Ui& m_ui;
    std::string m_caption;
    ConnectionOptions::ReconnectFields m_opened;
    QCheckBox* m_active;
    QLineEdit* m_delay;
    QLineEdit* m_timeout;
    QPushButton* m_save;
    QPushButton* m_cancel;
};
