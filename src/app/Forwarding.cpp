#include "app/Forwarding.h"

#include "app/AppContext.h"
#include "comm/ProcessValues.h"
#include "comm/TransportFactory.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/Clock.h"
#include "platform/Profile.h"
#include "platform/Ui.h"

namespace {
constexpr const char* kOpenFailed = "The port for forwarding couldn't be opened!";
constexpr std::uint64_t kLossReportMs = 60000;

void ReportLoss(ForwardingLoss& loss, std::uint64_t now) {
    if (loss.droppedBytes == 0) return;
    if (loss.reportedTick && now - *loss.reportedTick < kLossReportMs) return;
    OutputWrite("Forwarding: " + std::to_string(loss.droppedBytes) +
                    " bytes dropped, the port takes no more",
                kColourError);
    loss.droppedBytes = 0;
    loss.reportedTick = now;
}
}  // namespace

void ForwardLine(AppContext& context, const std::string& line) {
    std::shared_ptr<CDataBase> port = context.process.ForwardTransport.Get();
    if (port == nullptr) return;
    // Never waits: a port nobody reads would otherwise stop the records with it.
    const int written = port->WriteNow(line);
    // A port that did not open was reported then; its writes fail silently.
    if (!port->IsOpen()) return;
    ForwardingLoss& loss = context.process.forwardingLoss;
    if (written >= 0 && static_cast<std::size_t>(written) < line.size())
        loss.droppedBytes += line.size() - static_cast<std::size_t>(written);
    ReportLoss(loss, context.clock.TickMs());
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
    if (line.parity < 0 || line.parity > 4) line.parity = 0;
    // One and a half stop bits exist only with five data bits.
    if (line.stopBits < 0 || line.stopBits > 2 || (line.stopBits == 1 && line.dataBits != 5))
        line.stopBits = 0;
    return line;
}

ForwardingStart StartForwarding(AppContext& context, const std::string& stationFile,
                                const SerialLineSettings& line) {
    ProcessValues& process = context.process;
    ForwardingStart result;
    bool& opened = result.opened;
    if (process.ForwardTransport.Get() == nullptr && context.transports != nullptr) {
        std::shared_ptr<CDataBase> port = context.transports->MakeSerial(line);
        process.ForwardTransport.Exchange(port);
        process.settings.forward.active = port != nullptr;
        process.settings.forward.line = line;
        opened = port != nullptr && port->Open();
        if (!opened) context.ui.MessageBox(kOpenFailed, "");
    }
    result.saved = WriteForwardSettings(context.profile, stationFile,
                                        process.ForwardTransport.Get() != nullptr,
                                        process.settings.forward.line);
    return result;
}

bool StopForwarding(AppContext& context, const std::string& stationFile) {
    ProcessValues& process = context.process;
    if (std::shared_ptr<CDataBase> port = process.ForwardTransport.Exchange(nullptr)) port->Close();
    process.settings.forward.active = false;
    return WriteForwardSettings(context.profile, stationFile, false, process.settings.forward.line);
}

bool WriteForwardSettings(Profile& profile, const std::string& stationFile, bool active,
                          const SerialLineSettings& line) {
    bool written = true;
    const auto write = [&](std::string_view key, std::string_view value) {
        written = profile.WriteText(stationFile, "Weiterleitung", key, value) && written;
    };
    write("Aktiv", active ? "TRUE" : "FALSE");
    if (!active) return written;
    write("COM-Port", line.port);
    write("Baudrate", std::to_string(line.baudRate));
    write("Paritaet", std::to_string(line.parity));
    write("Databits", std::to_string(line.dataBits));
    write("Stopbits", std::to_string(line.stopBits));
    return written;
}
