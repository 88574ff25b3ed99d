// The port forwarding dialog offscreen, then forwarding a live station's
// lines to a pseudo-terminal chosen in it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <filesystem>
#include <optional>

#include "DialogChecks.h"
#include "FakeSerialPort.h"
#include "FakeTransport.h"
#include "StationHome.h"
#include "StationOnTcp.h"
#include "app/ForwardingForm.h"
#include "gui/comm/CDlgForwarding.h"

#ifdef WETTER_HAVE_SIMULATOR
#include <QSettings>

#include "app/CWetterDoc.h"
#include "gui/app/CMainFrame.h"
#include "gui/app/CWetterApp.h"
#include "platform/PosixSerialPort.h"
#include "sim/SeedData.h"
#include "sim/Station.h"
#endif

namespace {

QStringList Items(const QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i) items << box.itemText(i);
    return items;
}

// Two adapters, the second held by another program.
class ForwardingDialogTest : public ::testing::Test, protected ManualWorld {
protected:
    ForwardingDialogTest() : ManualWorld(Utc(2024, 3, 10, 12, 0)) {
        context.transports = &m_factory;
        for (const char* name : {"ttyUSB0", "ttyUSB1"})
            std::filesystem::create_directories(std::filesystem::path(folder.File("sys")) / name /
                                                "device");
        m_probe.busy = {"/dev/ttyUSB1"};
        WriteStation("[Weiterleitung]\nAktiv=FALSE\n");
    }

    // The station file with its line ends as "\n" (new keys get "\r\n", kept ones keep theirs).
    std::string Ini() const {
        std::string text = folder.Read("wetterstation.ini");
        std::erase(text, '\r');
        return text;
    }
    // The form searches the ports when it is made.
    ForwardingForm& Form() {
        if (!m_form)
            m_form.emplace(context, StationFile(), m_probe,
                           SerialPortFolders{folder.File("sys"), "/dev", folder.File("by-id")});
        return *m_form;
    }

    FakeTransportFactory m_factory;
    FakeSerialPort m_probe;
    std::optional<ForwardingForm> m_form;
};

TEST_F(ForwardingDialogTest, StartAndStopSwitchWhatCanBeChanged) {
    CDlgForwarding dialog(Form());
    EXPECT_EQ(dialog.windowTitle(), "Port forwarding - settings");
    EXPECT_EQ(Items(dialog.PortBox()), QStringList{"/dev/ttyUSB0"});
    EXPECT_EQ(Items(dialog.BaudBox()), (QStringList{"300", "600", "1200", "2400", "4800", "9600",
                                                    "19200", "38400", "115200", "230400"}));
    EXPECT_EQ(dialog.BaudBox().currentText(), "9600");
    EXPECT_TRUE(dialog.StartButton().isEnabled());
    EXPECT_FALSE(dialog.StopButton().isEnabled());
    EXPECT_TRUE(dialog.Status().text().isEmpty());

    ShowWindow(dialog);
    QDialogButtonBox& buttons = *dialog.findChild<QDialogButtonBox*>();
    // An editable list's own line edit is where its focus goes, not a stop of its own.
    std::vector<const QWidget*> chain = TabChain(dialog.PortBox());
    std::erase_if(chain,
                  [](const QWidget* w) { return qobject_cast<QComboBox*>(w->parentWidget()); });
    EXPECT_EQ(chain, (std::vector<const QWidget*>{&dialog.PortBox(), &dialog.BaudBox(),
                                                  &dialog.StartButton(),
                                                  buttons.button(QDialogButtonBox::Ok)}));

    dialog.BaudBox().setCurrentText("19200");
    dialog.StartButton().click();
    EXPECT_EQ(m_factory.made, (std::vector<std::string>{"serial /dev/ttyUSB0 19200 8 0 0"}));
    EXPECT_FALSE(dialog.PortBox().isEnabled());
    EXPECT_FALSE(dialog.BaudBox().isEnabled());
    EXPECT_FALSE(dialog.StartButton().isEnabled());
    EXPECT_TRUE(dialog.StopButton().isEnabled());
    EXPECT_EQ(dialog.PortBox().currentText(), "/dev/ttyUSB0") << "the port in use stays shown";
    EXPECT_EQ(dialog.Status().text(), "Aktuelle Verbindung /dev/ttyUSB0\nBaudrate 19200");
    EXPECT_NE(Ini().find("Aktiv=TRUE\nCOM-Port=/dev/ttyUSB0\nBaudrate=19200\n"), std::string::npos)
        << Ini();
    QApplication::processEvents();
    ExpectNothingCut(dialog);
    EXPECT_TRUE(dialog.grab().save(Screenshot("forwarding.png")));

    dialog.StopButton().click();
    EXPECT_EQ(process.ForwardTransport.Get(), nullptr);
    EXPECT_TRUE(dialog.StartButton().isEnabled());
    EXPECT_TRUE(dialog.PortBox().isEnabled());
    EXPECT_TRUE(dialog.Status().text().isEmpty());
    EXPECT_NE(Ini().find("Aktiv=FALSE\nCOM-Port=/dev/ttyUSB0"), std::string::npos) << Ini();

    buttons.button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ForwardingDialogTest, TypedValuesThatCannotWorkAreRefused) {
    CDlgForwarding dialog(Form());
    const std::string before = folder.Read("wetterstation.ini");
    dialog.BaudBox().setCurrentText("9600 baud");
    dialog.StartButton().click();
    dialog.BaudBox().setCurrentText("9600");
    dialog.PortBox().setCurrentText("/dev/ttyUSB1");
    dialog.StartButton().click();
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_NE(ui.Messages()[0].find("\"9600 baud\" cannot be set"), std::string::npos);
    EXPECT_NE(ui.Messages()[1].find("another program is using it"), std::string::npos);
    EXPECT_TRUE(dialog.StartButton().isEnabled());
    EXPECT_EQ(dialog.BaudBox().currentText(), "9600") << "what was typed stays for correcting";
    EXPECT_TRUE(m_factory.made.empty());
    EXPECT_EQ(folder.Read("wetterstation.ini"), before);
}

#ifdef WETTER_HAVE_SIMULATOR

// A pseudo-terminal typed as the port: the live lines arrive at its other end.
TEST(ForwardingAgainstStation, LiveLinesReachTheChosenPort) {
    QSettings("Norvika GmbH", "wetter").clear();
    StationHome home;
    orbsim::StationOptions options;
    options.cycleSeconds = 0.25;
    options.historyHours = 0.02;
    options.sensors = {{"TE", 1}, {"FE", 0}};
    std::unique_ptr<orbsim::Station> station = StartStationOnTcp(home, options);
    ASSERT_NE(station, nullptr);

    auto ui = std::make_unique<ScriptedUi>();
    ScriptedUi& shown = *ui;
    CWetterApp app(home.folder.File("wetter"), std::move(ui));
    ASSERT_TRUE(app.InitInstance({"wetter"}));
    CMainFrame& frame = *app.MainFrame();
    CWetterDoc& document = *frame.Documents().front();
    ASSERT_TRUE(document.AcquisitionRunning());

    PtyStation reader;  // the other program, on the pty's far end
    PosixSerialPort probe;
    ForwardingForm form(app.Context(), document.StationFile(), probe);
    {
        CDlgForwarding dialog(form);
        dialog.PortBox().setCurrentText(QString::fromStdString(reader.Path()));
        dialog.BaudBox().setCurrentText("38400");
        dialog.StartButton().click();
        EXPECT_TRUE(dialog.StopButton().isEnabled());
        dialog.accept();
    }
    EXPECT_TRUE(shown.shown.empty()) << shown.shown.front().text;
    EXPECT_EQ(reader.ClientRate(), 38400);

    std::string forwarded;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            forwarded += reader.Receive(1 << 16, 20);
            std::size_t lines = 0;
            for (std::size_t at = 0; (at = forwarded.find(",\r\n", at)) != std::string::npos; ++at)
                ++lines;
            return lines >= 3;
        },
        10000))
        << forwarded;
    EXPECT_NE(forwarded.find(",TE"), std::string::npos) << forwarded;

    // Stopping the acquisition closes the port and keeps it for the next connect.
    document.StopAcquisition();
    ASSERT_NE(app.Process().ForwardTransport.Get(), nullptr);
    EXPECT_FALSE(app.Process().ForwardTransport.Get()->IsOpen());
    frame.close();
}

#endif

}  // namespace
