#include "app/Forwarding.h"

#include "app/AppContext.h"
#include "comm/ProcessValues.h"
#include "comm/TransportFactory.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/Profile.h"
#include "platform/Ui.h"

namespace {
constexpr const char* kOpenFailed = "The port for forwarding couldn't be opened!";
}

void ForwardLine(ProcessValues& process, const std::string& line) {
    if (std::shared_ptr<CDataBase> port = process.ForwardTransport.Get()) port->Write(line);
}

void OpenForwarding(AppContext& context, bool quiet) {
    std::shared_ptr<CDataBase> port = context.process.ForwardTransport.Get();
    if (port == nullptr) return;
    OutputWrite("Forwarding starts", 0);
    if (port->Open()) return;
    if (!quiet) context.ui.MessageBox(kOpenFailed, "");
    OutputWrite("Error opening the forwarding port", kColourError);
}

void CloseForwarding(ProcessValues& process) {
    if (std::shared_ptr<CDataBase> port = process.ForwardTransport.Get()) port->Close();
}

SerialLineSettings ForwardingLine(const std::string& port, int baudRate,
                                  const SerialLineSettings& stored) {
    SerialLineSettings line = stored;
    line.port = port;
    line.baudRate = baudRate;
    if (line.dataBits < 5 || line.dataBits > 8) line.dataBits = 8;
    return line;
}

bool StartForwarding(AppContext& context, const std::string& stationFile,
                     const SerialLineSettings& line) {
    ProcessValues& process = context.process;
    bool opened = true;
    if (process.ForwardTransport.Get() == nullptr && context.transports != nullptr) {
        std::shared_ptr<CDataBase> port = context.transports->MakeSerial(line);
        process.ForwardTransport.Exchange(port);
        process.settings.forward.active = port != nullptr;
        process.settings.forward.line = line;
        opened = port != nullptr && port->Open();
        if (!opened) context.ui.MessageBox(kOpenFailed, "");
    }
    WriteForwardSettings(context.profile, stationFile, process.ForwardTransport.Get() != nullptr,
                         process.settings.forward.line);
    return opened;
}

void StopForwarding(AppContext& context, const std::string& stationFile) {
    ProcessValues& process = context.process;
    if (std::shared_ptr<CDataBase> port = process.ForwardTransport.Exchange(nullptr)) port->Close();
    process.settings.forward.active = false;
    WriteForwardSettings(context.profile, stationFile, false, process.settings.forward.line);
}

void WriteForwardSettings(Profile& profile, const std::string& stationFile, bool active,
                          const SerialLineSettings& line) {
    const char* s = "Weiterleitung";
    profile.WriteText(stationFile, s, "Aktiv", active ? "TRUE" : "FALSE");
    if (!active) return;
    profile.WriteText(stationFile, s, "COM-Port", line.port);
    profile.WriteText(stationFile, s, "Baudrate", std::to_string(line.baudRate));
    profile.WriteText(stationFile, s, "Paritaet", std::to_string(line.parity));
    profile.WriteText(stationFile, s, "Databits", std::to_string(line.dataBits));
    profile.WriteText(stationFile, s, "Stopbits", std::to_string(line.stopBits));
}
