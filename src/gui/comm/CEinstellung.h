#pragma once

// CEinstellung ("setting") is the connection dialog of a station.

#include <QDialog>
#include <array>
#include <string>

#include "app/ConnectionOptions.h"

class Profile;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class SerialPort;
class Ui;

// "Settings of weatherdata": how the station is reached (stored data only, a
// serial port, the network or a modem) with the port, address or modem port of
// that choice, and the doors to the line settings, the modem settings and the
// reconnect options. "Accept" and "Read"/"Reconnect" write the choice.
class CEinstellung final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Settings of weatherdata";

    // `opened` fills the fields; `lists` are the ports to offer and `probe`
    // checks a port typed in. `processWide` holds the reconnect switch of the
    // connection options. `caption` titles the messages.
    CEinstellung(Profile& profile, std::string stationFile,
                 ConnectionOptions::ConnectionChoice opened, ConnectionOptions::PortLists lists,
                 SerialPort& probe, ProcessWideSettings& processWide, Ui& ui, std::string caption,
                 QWidget* parent = nullptr);

    // "Accept": announces that the settings are used next time, then writes them.
    void accept() override;
    // How the dialog was closed and the type chosen.
    ConnectionOptions::ConnectionDialogResult Result() const { return m_result; }
    ConnectionOptions::ConnectionChoice Choice() const;

    QRadioButton& TypeButton(ConnectionType type) const;
    QComboBox& SerialPortBox() const { return *m_serialPort; }
    QLabel& SerialPortStatus() const { return *m_serialStatus; }
    QRadioButton& SearchBaudButton() const { return *m_searchBaud; }
    QRadioButton& FixedBaudButton() const { return *m_fixedBaud; }
    QPushButton& SerialConfigureButton() const { return *m_serialConfigure; }
    QLineEdit& AddressField() const { return *m_address; }
    QLineEdit& TcpPortField() const { return *m_tcpPort; }
    QComboBox& ModemPortBox() const { return *m_modemPort; }
    QLabel& ModemPortStatus() const { return *m_modemStatus; }
    QPushButton& ModemConfigureButton() const { return *m_modemConfigure; }
    QPushButton& ModemSettingsButton() const { return *m_modemSettings; }
    QPushButton& OptionsButton() const { return *m_options; }
    QPushButton& AcceptButton() const { return *m_accept; }
    QPushButton& CancelButton() const { return *m_cancel; }
    // "Read" for stored data only, "Reconnect" otherwise.
    QPushButton& ReconnectButton() const { return *m_reconnect; }
    // The group shown for the chosen type; null for stored data only.
    QGroupBox* ShownGroup() const;

private:
    QGroupBox* NewSerialGroup(const ConnectionOptions::ConnectionChoice& opened);
    QGroupBox* NewTcpGroup(const ConnectionOptions::ConnectionChoice& opened);
    QGroupBox* NewModemGroup(const ConnectionOptions::ConnectionChoice& opened);
    QComboBox* NewPortBox(const std::vector<ConnectionOptions::PortEntry>& list,
                          const std::string& current);
    ConnectionType ChosenType() const;
    void ShowChosenGroup();
    void ShowPortStatus();
    void Configure(ConnectionOptions::LineSection section);
    void ShowModemSettings();
    void ShowConnectionOptions();
    void Close(ConnectionOptions::DialogEnd end);

    Profile& m_profile;
    std::string m_stationFile;
    ConnectionType m_openedType;
    ConnectionOptions::PortLists m_lists;
    SerialPort& m_probe;
    ProcessWideSettings& m_processWide;
    Ui& m_ui;
    std::string m_caption;
    ConnectionOptions::ConnectionDialogResult m_result;

    std::array<QRadioButton*, 4> m_types{};
    QStackedWidget* m_groups;
    QComboBox* m_serialPort = nullptr;
    QLabel* m_serialStatus = nullptr;
    QRadioButton* m_searchBaud = nullptr;
    QRadioButton* m_fixedBaud = nullptr;
    QPushButton* m_serialConfigure = nullptr;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_tcpPort = nullptr;
    QComboBox* m_modemPort = nullptr;
    QLabel* m_modemStatus = nullptr;
    QPushButton* m_modemConfigure = nullptr;
    QPushButton* m_modemSettings = nullptr;
    QPushButton* m_options;
    QPushButton* m_accept;
    QPushButton* m_cancel;
    QPushButton* m_reconnect;
};
