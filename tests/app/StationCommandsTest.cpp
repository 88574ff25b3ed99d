// Altitude and precipitation reset from their dialogs, and the forwarding port.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeTransport.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "app/DocumentHost.h"
#include "app/Forwarding.h"
#include "app/StationCommands.h"
#include "model/OutputList.h"

namespace {

struct CommandHost final : DocumentHost {
    void SendCommandWithReply(const std::string& command, CWetterDoc&,
                              std::shared_ptr<CDataBase>) override {
        commands.push_back(command);
    }
    void RunProcessControl(CWetterDoc*) override {}
    void ArmReconnect(CWetterDoc&) override {}
    void SetStationClock(CWetterDoc&) override {}
    void SetPcClock(CWetterDoc&, std::time_t) override {}
    std::vector<std::string> commands;
};

class StationCommands : public ::testing::Test, protected ManualWorld {
protected:
    StationCommands() : ManualWorld(Utc(2024, 3, 10, 12, 0)) {
        OutputList::Process().Clear();
        context.host = &host;
        context.transports = &factory;
    }
    std::string Ini() const { return folder.Read("wetterstation.ini"); }
    CommandHost host;
    FakeTransportFactory factory;
};

TEST_F(StationCommands, AltitudeIsQueuedAndStored) {
    WriteStation("[Ortshoehe]\nHoehe=0\nAktiv=true\n");
    const AltitudeSetting read = ReadAltitude(profile, StationFile());
    EXPECT_EQ(read.metres, "0");
    EXPECT_TRUE(read.atStartup);
    SetAltitude(process, profile, StationFile(), "0");
    EXPECT_EQ(process.PendingCommandText.Text(), "!O0\r\n");

    process.PendingCommandEvent.Reset();
    SetAltitudeAtStartup(process, profile, StationFile(), "312", false);
    EXPECT_FALSE(process.PendingCommandEvent.IsSet()) << "clearing the box sends nothing";
    SetAltitudeAtStartup(process, profile, StationFile(), "312", true);
    EXPECT_FALSE(process.PendingCommandEvent.IsSet()) << "no link: stored only";
    EXPECT_EQ(ReadAltitude(profile, StationFile()).metres, "312");
    EXPECT_NE(Ini().find("Aktiv=TRUE"), std::string::npos);

    auto link = std::make_shared<FakeTransport>("tcp");
    link->open = true;
    process.CurrentTransport.Exchange(link);
    SetAltitudeAtStartup(process, profile, StationFile(), "313", true);
    EXPECT_EQ(process.PendingCommandText.Text(), "!O313\r\n");
    EXPECT_EQ(ReadAltitude(profile, StationFile()).metres, "313");

    for (const char* bad : {"12345", "12a", "-5"}) EXPECT_FALSE(IsAltitudeText(bad)) << bad;
    EXPECT_TRUE(IsAltitudeText("9999"));
}

TEST_F(StationCommands, PrecipitationResetAcceptStoresAndSetAlsoSends) {
    WriteStation("[Regen]\nReset=0\n");
    CWetterDoc doc(context);
    AcceptPrecipitationReset(doc, 5);
    EXPECT_EQ(doc.Interpretation().resetCommand, "!R5");
    EXPECT_NE(Ini().find("Reset=5"), std::string::npos);
    EXPECT_TRUE(host.commands.empty());

    SetPrecipitationReset(doc, 6);
    EXPECT_EQ(host.commands, (std::vector<std::string>{"!R6"}));

    process.commandLine.noResetCommands = true;
    SetPrecipitationReset(doc, 7);
    EXPECT_EQ(host.commands.size(), 1u) << "-!PR stores but sends nothing";
    EXPECT_EQ(doc.Interpretation().resetHour, 7);
}

TEST_F(StationCommands, ForwardingStartsStopsAndCopiesLines) {
    WriteStation("[Weiterleitung]\nAktiv=FALSE\n");
    ForwardLine(context, "no port yet\r\n");

    SerialLineSettings line = ForwardingLine("/dev/ttyUSB1", 19200, {});
    EXPECT_EQ(line.dataBits, 8) << "no stored data bits: a value the driver takes";
    EXPECT_TRUE(StartForwarding(context, StationFile(), line).opened);
    ASSERT_EQ(factory.made, (std::vector<std::string>{"serial /dev/ttyUSB1 19200 8 0 0"}));
    auto port = std::static_pointer_cast<FakeTransport>(process.ForwardTransport.Get());
    ForwardLine(context, "12:00:00,TE5.0,\r\n");
    EXPECT_EQ(port->written, (std::vector<std::string>{"12:00:00,TE5.0,\r\n"}));
    EXPECT_NE(Ini().find("COM-Port=/dev/ttyUSB1"), std::string::npos);
    EXPECT_NE(Ini().find("Baudrate=19200"), std::string::npos);

    StopForwarding(context, StationFile());
    EXPECT_EQ(process.ForwardTransport.Get(), nullptr);
    EXPECT_FALSE(port->open);
    EXPECT_NE(Ini().find("Aktiv=FALSE"), std::string::npos);
    EXPECT_NE(Ini().find("Baudrate=19200"), std::string::npos) << "older values stay";
}

TEST_F(StationCommands, ForwardingPortThatDoesNotOpenIsReportedAndKept) {
    WriteStation("[Weiterleitung]\nAktiv=TRUE\nCOM-Port=/dev/ttyUSB1\nBaudrate=9600\n");
    CWetterDoc doc(context);
    auto port = std::static_pointer_cast<FakeTransport>(process.ForwardTransport.Get());
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->description, "serial /dev/ttyUSB1 9600 8 0 0");
    port->openSucceeds = false;
    OpenForwarding(context);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "The port for forwarding couldn't be opened!");
    EXPECT_EQ(OutputList::Process().Snapshot().back().text, "Error opening the forwarding port");
    EXPECT_EQ(process.ForwardTransport.Get(), port);
}

TEST_F(StationCommands, LowerCaseActiveDoesNotForward) {
    WriteStation("[Weiterleitung]\nAktiv=true\nCOM-Port=/dev/ttyUSB1\n");
    CWetterDoc doc(context);
    EXPECT_EQ(process.ForwardTransport.Get(), nullptr);
}

}  // namespace
