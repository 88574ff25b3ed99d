// The rules of the port forwarding dialog: the ports and rates offered, the
// checks of "Start", and what "Start" and "Stop" store.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "FakeSerialPort.h"
#include "FakeTransport.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "app/Forwarding.h"
#include "app/ForwardingForm.h"
#include "comm/CDataSeriell.h"
#include "comm/TransportServices.h"
#include "model/OutputList.h"

namespace {

namespace fs = std::filesystem;

class ForwardingFormTest : public ::testing::Test, protected ManualWorld {
protected:
    ForwardingFormTest() : ManualWorld(Utc(2024, 3, 10, 12, 0)) {
        context.transports = &factory;
        // Two adapters; the second is held by another program.
        for (const char* name : {"ttyUSB0", "ttyUSB1"})
            fs::create_directories(fs::path(folder.File("sys")) / name / "device");
        probe.busy = {"/dev/ttyUSB1"};
    }

    ForwardingForm Form() { return ForwardingForm(context, StationFile(), probe, folders); }
    std::string Ini() const { return folder.Read("wetterstation.ini"); }

    FakeTransportFactory factory;
    FakeSerialPort probe;
    SerialPortFolders folders{folder.File("sys"), "/dev", folder.File("by-id")};
};

TEST_F(ForwardingFormTest, OffersTheFreePortsAndTheRatesTheDriverCanSet) {
    WriteStation("");
    ForwardingForm form = Form();
    EXPECT_EQ(form.Ports(), (std::vector<std::string>{"/dev/ttyUSB0"}));
    EXPECT_EQ(ForwardingForm::BaudRates(),
              (std::vector<int>{300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 115200, 230400}))
        << "76800 has no Linux setting";
    EXPECT_FALSE(form.Active());
    EXPECT_EQ(form.SelectedBaudRate(), 9600) << "nothing stored yet";
    EXPECT_EQ(form.StatusText(), "");
}

TEST_F(ForwardingFormTest, StartForwardsAndStopKeepsTheOlderValues) {
    WriteStation("");
    ForwardingForm form = Form();
    ASSERT_TRUE(form.Start(" /dev/ttyUSB0 ", "19200"));
    EXPECT_EQ(factory.made, (std::vector<std::string>{"serial /dev/ttyUSB0 19200 8 0 0"}));
    EXPECT_TRUE(form.Active());
    EXPECT_TRUE(process.ForwardTransport.Get()->IsOpen());
    EXPECT_EQ(form.StatusText(), "Aktuelle Verbindung /dev/ttyUSB0\r\nBaudrate 19200");
    EXPECT_EQ(form.SelectedPort(), "/dev/ttyUSB0");
    const std::string section =
        "[Weiterleitung]\r\nAktiv=TRUE\r\nCOM-Port=/dev/ttyUSB0\r\nBaudrate=19200\r\n"
        "Paritaet=0\r\nDatabits=8\r\nStopbits=0\r\n";
    EXPECT_NE(Ini().find(section), std::string::npos) << Ini();
    EXPECT_TRUE(ui.shown.empty());

    const std::size_t probed = probe.opened.size();
    form.Stop();
    EXPECT_FALSE(form.Active());
    EXPECT_EQ(process.ForwardTransport.Get(), nullptr);
    EXPECT_GT(probe.opened.size(), probed) << "the ports are searched again";
    std::string stopped = section;
    stopped.replace(stopped.find("TRUE"), 4, "FALSE");
    EXPECT_NE(Ini().find(stopped), std::string::npos) << Ini();
}

TEST_F(ForwardingFormTest, StoredLineSettingsAreKeptAndShown) {
    WriteStation(
        "[Weiterleitung]\nAktiv=TRUE\nCOM-Port=/dev/ttyS3\nBaudrate=4800\nParitaet=2\n"
        "Databits=7\nStopbits=2\n");
    CWetterDoc document(context);  // builds the forwarding port, as at start
    ForwardingForm form = Form();
    EXPECT_TRUE(form.Active());
    EXPECT_EQ(form.SelectedPort(), "/dev/ttyS3");
    EXPECT_EQ(form.SelectedBaudRate(), 4800);
    EXPECT_EQ(form.StatusText(), "Aktuelle Verbindung /dev/ttyS3\r\nBaudrate 4800");

    form.Stop();
    ASSERT_TRUE(form.Start("/dev/ttyUSB0", "9600"));
    EXPECT_EQ(factory.made.back(), "serial /dev/ttyUSB0 9600 7 2 2")
        << "data bits, parity, stop bits";
}

TEST_F(ForwardingFormTest, ChoicesThatCannotWorkAreRefusedAndNothingIsWritten) {
    struct Case {
        const char* name;
        const char* port;
        const char* baud;
        int openError;
        const char* message;
    };
    const Case cases[] = {
        {"no port", "  ", "9600", 0, "Choose the port"},
        {"rate not a number", "/dev/ttyUSB0", "96oo", 0, "\"96oo\" cannot be set"},
        {"no rate", "/dev/ttyUSB0", "", 0, "cannot be set. Choose one of 300, 600"},
        {"rate without a setting", "/dev/ttyUSB0", "76800", 0, "\"76800\" cannot be set"},
        {"rate out of range", "/dev/ttyUSB0", "99999999999999", 0, "cannot be set"},
        {"no such device", "/dev/ttyUSB7", "9600", ENOENT,
         "/dev/ttyUSB7 cannot be used for "
         "forwarding: it does not exist."},
        {"held by another program", "/dev/ttyUSB0", "9600", EBUSY, "another program is using it"},
        {"no permission", "/dev/ttyUSB0", "9600", EACCES, "add yourself to the dialout group"},
    };
    WriteStation("[Weiterleitung]\nAktiv=FALSE\n");
    const std::string before = Ini();
    for (const Case& c : cases) {
        ui.shown.clear();
        ForwardingForm form = Form();
        if (c.openError != 0) probe.openErrors = {c.openError};
        EXPECT_FALSE(form.Start(c.port, c.baud)) << c.name;
        ASSERT_EQ(ui.Messages().size(), 1u) << c.name;
        EXPECT_NE(ui.Messages()[0].find(c.message), std::string::npos)
            << c.name << ": " << ui.Messages()[0];
        EXPECT_FALSE(form.Active()) << c.name;
        EXPECT_TRUE(factory.made.empty()) << c.name;
        EXPECT_EQ(Ini(), before) << c.name;
    }
}

TEST_F(ForwardingFormTest, AStationFileThatCannotBeWrittenIsReported) {
    ForwardingForm form(context, folder.File("gone/wetterstation.ini"), probe, folders);
    ASSERT_TRUE(form.Start("/dev/ttyUSB0", "9600"));
    EXPECT_TRUE(form.Active()) << "forwarding runs for now";
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].find("gone/wetterstation.ini couldn't be written"),
              std::string::npos);
    form.Stop();
    EXPECT_EQ(ui.Messages().size(), 2u);
}

TEST_F(ForwardingFormTest, BytesThePortDoesNotTakeAreDroppedAndReportedOncePerMinute) {
    TransportServices services{clock, events, ui, process.BaudSearchAbortEvent};
    auto fake = std::make_unique<FakeSerialPort>(&clock);
    FakeSerialPort& port = *fake;
    auto forward = std::make_shared<CDataSeriell>(ForwardingLine("/dev/ttyUSB0", 9600, {}),
                                                  services, std::move(fake));
    process.ForwardTransport.Exchange(forward);
    const std::string line = "12:00:00,TE5.0,\r\n";  // 17 bytes
    const auto reports = [] {
        std::vector<std::string> texts;
        for (const auto& output : OutputList::Process().Snapshot())
            if (output.text.starts_with("Forwarding: ")) texts.push_back(output.text);
        return texts;
    };
    OutputList::Process().Clear();
    ForwardLine(context, line);
    EXPECT_TRUE(reports().empty()) << "a port that did not open stays silent";

    ASSERT_TRUE(forward->Open());
    port.writeRoom = 20;
    ForwardLine(context, line);
    ForwardLine(context, line);
    EXPECT_EQ(port.written, (std::vector<std::string>{line, line.substr(0, 3)}));
    const std::string first = "Forwarding: 14 bytes dropped, the port takes no more";
    EXPECT_EQ(reports(), std::vector<std::string>{first});

    clock.Advance(30000);
    ForwardLine(context, line);
    EXPECT_EQ(reports().size(), 1u) << "counted, not yet reported";
    clock.Advance(30000);
    ForwardLine(context, line);
    EXPECT_EQ(reports(), (std::vector<std::string>{
                             first, "Forwarding: 34 bytes dropped, the port takes no more"}));

    port.writeRoom = SIZE_MAX;
    clock.Advance(120000);
    ForwardLine(context, line);
    EXPECT_EQ(reports().size(), 2u) << "nothing dropped since";
    EXPECT_EQ(port.written.back(), line);
}

TEST(ForwardingLine, CodesTheDriverCannotTakeGetSafeOnes) {
    struct Case {
        SerialLineSettings stored;
        int dataBits, parity, stopBits;
    };
    const Case cases[] = {
        {{"", 0, 0, 0, 0}, 8, 0, 0},   // nothing stored
        {{"", 0, 7, 2, 2}, 7, 2, 2},   // kept
        {{"", 0, 9, 5, -1}, 8, 0, 0},  // no such codes
        {{"", 0, 8, 4, 1}, 8, 4, 0},   // one and a half stop bits need five data bits
        {{"", 0, 5, 3, 1}, 5, 3, 1},
    };
    for (const Case& c : cases) {
        const SerialLineSettings line = ForwardingLine("/dev/ttyUSB0", 9600, c.stored);
        EXPECT_EQ(line.port, "/dev/ttyUSB0");
        EXPECT_EQ(line.baudRate, 9600);
        EXPECT_EQ(line.dataBits, c.dataBits) << c.stored.dataBits;
        EXPECT_EQ(line.parity, c.parity) << c.stored.parity;
        EXPECT_EQ(line.stopBits, c.stopBits) << c.stored.stopBits;
    }
}

}  // namespace
