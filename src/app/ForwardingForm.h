#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SerialPortList.h"

struct AppContext;
class SerialPort;

// The rules and texts of "Port forwarding - settings" (CDlgForwarding): the
// ports offered, the baud rates, what is enabled, the status text, and the
// checks of "Start" with their messages. A port can be chosen from the list
// or typed as a device path; the dialog shows this state and forwards its
// buttons here.
class ForwardingForm {
public:
    static constexpr std::string_view kTitle = "Port forwarding - settings";

    // `probe` finds the free ports and checks a chosen one; the forwarding
    // keys go to `stationFile`.
    ForwardingForm(AppContext& context, std::string stationFile, SerialPort& probe,
                   SerialPortFolders folders = {});

    // The free ports, searched again at start and after "Stop".
    const std::vector<std::string>& Ports() const { return m_ports; }
    void FindPorts();
    // The rates of the list that this system's serial driver can set.
    static std::vector<int> BaudRates();

    // Forwarding runs (the forwarding port is set, open or not): "Stop" and
    // the status text; otherwise "Start" and the two lists.
    bool Active() const;
    // The port and rate to show selected: the current ones while forwarding,
    // else those stored last (9600 when none).
    std::string SelectedPort() const;
    int SelectedBaudRate() const;
    // "Aktuelle Verbindung %s\r\nBaudrate %d" while forwarding, else empty.
    std::string StatusText() const;

    // "Start" with what the lists show. Nothing is created or written when
    // the port or rate cannot be used: the person is told why and false
    // returned. Otherwise the port is created and opened (a failure to open
    // is shown, and forwarding stays set, as it would after a restart).
    bool Start(std::string_view port, std::string_view baudRate);
    // "Stop": closes and drops the port, searches the ports again.
    void Stop();

private:
    std::optional<std::string> CheckPort(const std::string& path);
    void ShowMessage(const std::string& text);
    void ReportUnsaved();

    AppContext& m_context;
    std::string m_stationFile;
    SerialPort& m_probe;
    SerialPortFolders m_folders;
    std::vector<std::string> m_ports;
};
