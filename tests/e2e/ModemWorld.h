#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ConversationWorld.h"
#include "ScaledClock.h"
#include "comm/CDataSeriellAT.h"
#include "comm/InlineModemUi.h"
#include "comm/OffThreadModemUi.h"
#include "platform/PosixSerialPort.h"

// A port whose waits run on a scaled clock: the first-byte wait shrinks with it.
class ScaledSerialPort final : public SerialPort {
public:
    ScaledSerialPort(std::unique_ptr<SerialPort> port, unsigned factor)
        : m_port(std::move(port)), m_factor(factor) {}
    int Open(const std::string& path) override { return m_port->Open(path); }
    ConfigResult Configure(const SerialFormat& format) override {
        return m_port->Configure(format);
    }
    ReadResult Read(char* buffer, std::size_t count, unsigned waitMs) override {
        return m_port->Read(buffer, count, std::max(1u, waitMs / m_factor));
    }
    WriteResult Write(std::string_view bytes) override { return m_port->Write(bytes); }
    WriteResult WriteNow(std::string_view bytes) override { return m_port->WriteNow(bytes); }
    int FlushInput() override { return m_port->FlushInput(); }
    ModemLines& Lines() override { return m_port->Lines(); }
    void Close() override { m_port->Close(); }
    bool IsOpen() const override { return m_port->IsOpen(); }
    int OutputSpeed() const override { return m_port->OutputSpeed(); }

private:
    std::unique_ptr<SerialPort> m_port;
    unsigned m_factor;
};

// The program's side of a station behind a modem: the modem transport on the
// simulator's pty with the carrier the simulated modem drives, its dialogue
// run off the pumped user-interface loop as in the program, and its waits
// twenty times faster so a failing dial costs seconds, not minutes.
class ModemWorld : public ConversationWorld {
public:
    static constexpr unsigned kSpeedUp = 20;

    ModemWorld() { context.transports = &modemFactory; }
    // The modem's dialogue needs this world's members: hang up while they are here.
    ~ModemWorld() {
        acquisition.Stop();
        if (transport && transport->IsOpen()) transport->Close();
        document.reset();
        process.CurrentTransport.Exchange(nullptr);
        process.PreviousTransport.Exchange(nullptr);
        transport.reset();
    }

    // A station behind a modem whose dial connects after `delay` seconds.
    bool StartModemStation(orbsim::StationOptions options, double delay = 0.1) {
        options.modem.enabled = true;
        options.modem.connectDelaySeconds = delay;
        options.modem.guardSeconds = 0.05;
        options.modem.carrierChanged = [lines = lines](bool carrier) {
            lines->SetCarrier(carrier);
        };
        return StartStation(orbsim::LinkKind::kPty, std::move(options));
    }

    // Opens the document of a modem station; the dial is left to the test.
    void OpenModemDocument(const std::string& sections, const std::string& modemKeys = "") {
        WriteStation(
            "[DataParams]\nSettsID=3\n[Modem Verbindung]\nAnschluss=" + folder.File("ttyORB") +
                "\nBaudrate=115200\nDatenbits=8\nParitaet=0\nStoppbits=0\n"
                "Telefon Nummer=0123\nWaehl Befehl=ATD\nWaehl Abschluss=;\nTimeout=60\n" +
                modemKeys + sections,
            300);
        document = std::make_unique<CWetterDoc>(context);
        transport = process.CurrentTransport.Get();
        ASSERT_NE(transport, nullptr);
    }

    std::string ModemLog() const { return folder.Read("ModemLog.txt"); }
    std::size_t Cautions(const std::string& text) const {
        std::size_t count = 0;
        for (const auto& shown : ui.shown) count += shown.kind == "caution" && shown.text == text;
        return count;
    }
    std::size_t OutputCount(const std::string& text) const {
        std::size_t count = 0;
        for (const auto& line : OutputTexts()) count += line == text;
        return count;
    }

    // Modem transports on the scaled port with the shared lines; the rest as the program has them.
    struct Factory final : TransportFactory {
        explicit Factory(ModemWorld& world) : m_world(world) {}
        std::shared_ptr<CDataBase> MakeSerial(const SerialLineSettings& line) override {
            return m_world.factory.MakeSerial(line);
        }
        std::shared_ptr<CDataBase> MakeTcp(const std::string& address, int port) override {
            return m_world.factory.MakeTcp(address, port);
        }
        std::shared_ptr<CDataBase> MakeModem(const ModemSettings& modem) override {
            return std::make_shared<CDataSeriellAT>(
                modem, m_world.modemServices,
                std::make_unique<ScaledSerialPort>(std::make_unique<PosixSerialPort>(m_world.lines),
                                                   kSpeedUp));
        }

    private:
        ModemWorld& m_world;
    };

    std::shared_ptr<SimulatedModemLines> lines = std::make_shared<SimulatedModemLines>();
    ScaledClock modemClock{kSpeedUp};
    std::vector<std::string> pinPrompts;
    std::deque<std::string> pins;
    InlineModemUi modemWindows{ui, [this](std::string_view prompt) -> std::optional<std::string> {
                                   pinPrompts.emplace_back(prompt);
                                   if (pins.empty()) return std::nullopt;
                                   std::string pin = pins.front();
                                   pins.pop_front();
                                   return pin;
                               }};
    OffThreadModemUi modemUi{modemWindows, loop, [this](const std::function<bool()>& done) {
                                 loop.RunUntil(done, 10 * 60 * 1000);
                             }};
    TransportServices modemServices{modemClock,
                                    loop,
                                    ui,
                                    process.BaudSearchAbortEvent,
                                    &process.AcquisitionStopEvent,
                                    &modemUi,
                                    paths.InFolder("ModemLog.txt")};
    Factory modemFactory{*this};
};
