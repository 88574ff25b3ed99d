#include "app/ForwardingForm.h"

#include <cerrno>

#include "app/AppContext.h"
#include "app/Forwarding.h"
#include "comm/ProcessValues.h"
#include "platform/FileSystem.h"
#include "platform/PosixSerialPort.h"
#include "platform/ProgramPaths.h"
#include "platform/SerialPort.h"
#include "platform/Ui.h"

namespace {

constexpr int kListedRates[] = {300,   600,   1200,  2400,   4800,  9600,
                                19200, 38400, 76800, 115200, 230400};
constexpr int kDefaultRate = 9600;

std::string Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

// A rate as typed: digits only; nothing for anything else.
std::optional<int> WholeNumber(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string RateList() {
    std::string list;
    for (const int rate : ForwardingForm::BaudRates())
        list += (list.empty() ? "" : ", ") + std::to_string(rate);
    return list;
}

// Why a port cannot be opened, in the words a person can act on.
std::string PortProblem(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case ENXIO:
        case ENODEV:
            return "it does not exist";
        case EBUSY:
            return "another program is using it";
        case EACCES:
        case EPERM:
            return "no permission: add yourself to the dialout group";
        default:
            return FileSystem::SystemErrorText(error);
    }
}

}  // namespace

ForwardingForm::ForwardingForm(AppContext& context, std::string stationFile, SerialPort& probe,
                               SerialPortFolders folders)
    : m_context(context),
      m_stationFile(std::move(stationFile)),
      m_probe(probe),
      m_folders(std::move(folders)) {
    FindPorts();
}

void ForwardingForm::FindPorts() { m_ports = ListSerialPorts(m_probe, m_folders); }

std::vector<int> ForwardingForm::BaudRates() {
    // 76800 has no setting on Linux: a choice that could never open is left out.
    std::vector<int> rates;
    for (const int rate : kListedRates)
        if (BaudConstant(rate)) rates.push_back(rate);
    return rates;
}

bool ForwardingForm::Active() const { return m_context.process.ForwardTransport.Get() != nullptr; }

std::string ForwardingForm::SelectedPort() const {
    return m_context.process.settings.forward.line.port;
}

int ForwardingForm::SelectedBaudRate() const {
    const int stored = m_context.process.settings.forward.line.baudRate;
    return stored > 0 ? stored : kDefaultRate;
}

std::string ForwardingForm::StatusText() const {
    if (!Active()) return {};
    const SerialLineSettings& line = m_context.process.settings.forward.line;
    return "Aktuelle Verbindung " + line.port + "\r\nBaudrate " + std::to_string(line.baudRate);
}

std::optional<std::string> ForwardingForm::CheckPort(const std::string& path) {
    const int error = m_probe.Open(SerialDevicePath(path));
    if (error == 0) {
        m_probe.Close();
        return std::nullopt;
    }
    return "The port " + path + " cannot be used for forwarding: " + PortProblem(error) + ".";
}

bool ForwardingForm::Start(std::string_view portText, std::string_view baudText) {
    if (Active()) return true;
    const std::string port = Trimmed(portText);
    if (port.empty()) {
        ShowMessage("Choose the port that the station's lines are to be copied to.");
        return false;
    }
    const std::optional<int> rate = WholeNumber(Trimmed(baudText));
    if (!rate || !BaudConstant(*rate)) {
        ShowMessage("The baud rate \"" + Trimmed(baudText) + "\" cannot be set. Choose one of " +
                    RateList() + ".");
        return false;
    }
    if (std::optional<std::string> problem = CheckPort(port)) {
        ShowMessage(*problem);
        return false;
    }
    const SerialLineSettings line =
        ForwardingLine(port, *rate, m_context.process.settings.forward.line);
    if (!StartForwarding(m_context, m_stationFile, line).saved) ReportUnsaved();
    return true;
}

void ForwardingForm::Stop() {
    if (!StopForwarding(m_context, m_stationFile)) ReportUnsaved();
    FindPorts();
}

void ForwardingForm::ShowMessage(const std::string& text) {
    m_context.ui.MessageBox(text, m_context.paths.ProgramName(), MsgButtons::Ok, MsgIcon::Warning);
}

void ForwardingForm::ReportUnsaved() {
    ShowMessage(m_stationFile +
                " couldn't be written: the forwarding setting holds only until the program ends.");
}
