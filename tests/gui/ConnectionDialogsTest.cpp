// The connection windows driven like a person would: types chosen, fields
// filled, buttons and keys pressed, then the station.ini bytes and the
// messages checked. Pictures land in the build folder for people to look at.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "DialogChecks.h"
#include "FakeSerialPort.h"
#include "ManualClock.h"
#include "ScriptedUi.h"
#include "TempFolder.h"
#include "app/ConnectionOptions.h"
#include "comm/CDataSeriell.h"
#include "gui/comm/CBaudrate.h"
#include "gui/comm/CDlgModemSetts.h"
#include "gui/comm/CDlgVerbOptionen.h"
#include "gui/comm/CEinstellung.h"
#include "gui/comm/CKonfigurationComDlg.h"
#include "gui/platform/QtEventQueue.h"
#include "gui/storage/CDatenSpeichernDlg.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/AutoResetEvent.h"
#include "platform/IniProfile.h"
#include "platform/SystemClock.h"

#ifdef WETTER_HAVE_SIMULATOR
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "comm/ProcessValues.h"
#include "gui/app/CMainFrame.h"
#include "gui/app/CWetterApp.h"
#include "sim/SeedData.h"
#include "sim/Station.h"
#endif

namespace {

using namespace ConnectionOptions;
using namespace std::chrono_literals;

constexpr const char* kByIdPort = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

QStringList Items(const QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i) items << box.itemText(i);
    return items;
}

// A station reached over a USB adapter, with a network and a modem section stored from before.
class ConnectionDialogTest : public ::testing::Test {
protected:
    ConnectionDialogTest() {
        m_folder.Write("wetterstation.ini", kStation);
        m_lists.serial = {
            {"/dev/ttyS0", 0}, {"/dev/ttyUSB0", 0}, {"/dev/ttyUSB1", EBUSY}, {kByIdPort, 0}};
        m_lists.modem = {{"/dev/ttyACM0", 0}, {"/dev/ttyS0", 0}, {"/dev/ttyUSB1", EBUSY}};
    }

    std::unique_ptr<CEinstellung> Dialog(ConnectionType type = ConnectionType::kSerial) {
        ConnectionSettings current;
        current.type = type;
        current.serial.port = "/dev/ttyUSB0";
        current.tcpAddress = "wetter.lan";
        current.tcpPort = 23;
        current.modem.line.port = "/dev/ttyACM0";
        return std::make_unique<CEinstellung>(m_profile, File(),
                                              OpenConnectionChoice(m_profile, File(), current),
                                              m_lists, m_probe, m_process, m_ui, "wetter");
    }
    std::string File() const { return m_folder.File("wetterstation.ini"); }
    std::string Bytes() const { return m_folder.Read("wetterstation.ini"); }

    static constexpr const char* kStation =
        "[DataParams]\r\nSettsID=1\r\n[Programmstart]\r\nStart=1\r\n"
        "[Serielle Schnittstelle]\r\nAnschluss=/dev/ttyUSB0\r\nBaudrate=9600\r\nStoppbits=0\r\n"
        "AutoB=0\r\n[TCP/IP Schnittstelle]\r\nIP-Adresse=wetter.lan\r\nIP-Port=23\r\n"
        "[Modem Verbindung]\r\nAnschluss=/dev/ttyACM0\r\n";

    TempFolder m_folder;
    IniProfile m_profile;
    ScriptedUi m_ui;
    FakeSerialPort m_probe;
    ProcessWideSettings m_process;
    PortLists m_lists;
};

// ---- "Settings of weatherdata" ----

TEST_F(ConnectionDialogTest, ShowsTheGroupOfTheChosenTypeWithItsPorts) {
    auto dialog = Dialog();
    EXPECT_EQ(dialog->windowTitle(), "Settings of weatherdata");
    EXPECT_TRUE(dialog->TypeButton(ConnectionType::kSerial).isChecked());
    ASSERT_NE(dialog->ShownGroup(), nullptr);
    EXPECT_EQ(dialog->ShownGroup()->title(), "COM-Port:");
    EXPECT_EQ(Items(dialog->SerialPortBox()),
              (QStringList{"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyUSB1", kByIdPort}));
    EXPECT_EQ(dialog->SerialPortBox().currentText(), "/dev/ttyUSB0");
    EXPECT_TRUE(dialog->SearchBaudButton().isChecked());
    EXPECT_EQ(dialog->ReconnectButton().text(), "&Reconnect");
    EXPECT_TRUE(dialog->SerialPortStatus().text().isEmpty());

    // A port another program holds says so.
    dialog->SerialPortBox().setCurrentIndex(2);
    EXPECT_EQ(dialog->SerialPortStatus().text(), "in use by another program");
    EXPECT_EQ(dialog->SerialPortBox().itemData(2, Qt::ToolTipRole).toString(),
              "in use by another program");

    ShowWindow(*dialog);
    ExpectNothingCut(*dialog);
    EXPECT_TRUE(dialog->grab().save(Screenshot("connection.png")));

    // Keyboard: each type's radio first, then the group's fields in reading order, then the
    // buttons.
    const std::vector<const QWidget*> chain = TabChain(dialog->TypeButton(ConnectionType::kSerial));
    const auto at = [&](const QWidget& widget) {
        return std::find(chain.begin(), chain.end(), &widget) - chain.begin();
    };
    EXPECT_LT(at(dialog->SerialPortBox()), at(dialog->SerialConfigureButton()));
    EXPECT_LT(at(dialog->SerialConfigureButton()), at(dialog->SearchBaudButton()));
    EXPECT_LT(at(dialog->SearchBaudButton()), at(dialog->OptionsButton()));
    EXPECT_LT(at(dialog->OptionsButton()), at(dialog->AcceptButton()));
    EXPECT_LT(at(dialog->AcceptButton()), at(dialog->ReconnectButton()));
    EXPECT_LT(at(dialog->ReconnectButton()), static_cast<long>(chain.size()));

    struct Row {
        ConnectionType type;
        const char* group;  // "" for none
        const char* third;
    };
    for (const Row& row : {Row{ConnectionType::kStoredDataOnly, "", "&Read"},
                           Row{ConnectionType::kTcp, "TCP/IP", "&Reconnect"},
                           Row{ConnectionType::kModem, "Modem port", "&Reconnect"}}) {
        dialog->TypeButton(row.type).click();
        EXPECT_EQ(dialog->ShownGroup() ? dialog->ShownGroup()->title() : QString(), row.group);
        EXPECT_EQ(dialog->ReconnectButton().text(), row.third);
    }
    EXPECT_EQ(dialog->ModemPortBox().currentText(), "/dev/ttyACM0");
    EXPECT_EQ(dialog->AddressField().text(), "wetter.lan");
    EXPECT_EQ(dialog->TcpPortField().text(), "23");
    ExpectNothingCut(*dialog);
}

TEST_F(ConnectionDialogTest, AcceptAnnouncesTheNextStartAndWritesTheNetwork) {
    auto dialog = Dialog();
    ShowWindow(*dialog);
    QTest::keyClick(dialog.get(), Qt::Key_N, Qt::AltModifier);  // "Data via &network"
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return dialog->TypeButton(ConnectionType::kTcp).isChecked(); }));
    dialog->AddressField().setText("127.0.0.1");
    dialog->TcpPortField().setText("8024");
    QTest::keyClick(&dialog->TcpPortField(), Qt::Key_Return);

    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Result().end, DialogEnd::kAccept);
    EXPECT_EQ(dialog->Result().type, ConnectionType::kTcp);
    EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{"Settings will be used for the next time"});
    EXPECT_EQ(
        Bytes(),
        "[DataParams]\r\nSettsID=2\r\n[Programmstart]\r\nStart=1\r\n"
        "[Serielle Schnittstelle]\r\nAnschluss=/dev/ttyUSB0\r\nBaudrate=9600\r\nStoppbits=0\r\n"
        "AutoB=0\r\n[TCP/IP Schnittstelle]\r\nIP-Adresse=127.0.0.1\r\nIP-Port=8024\r\n"
        "[Modem Verbindung]\r\nAnschluss=/dev/ttyACM0\r\n");
}

TEST_F(ConnectionDialogTest, ReconnectWritesWithoutAnnouncementAndCancelWritesNothing) {
    {
        auto dialog = Dialog();
        dialog->SerialPortBox().setCurrentIndex(3);
        dialog->FixedBaudButton().click();
        dialog->CancelButton().click();
        EXPECT_EQ(dialog->Result().end, DialogEnd::kCancel);
        EXPECT_EQ(Bytes(), kStation);
    }
    auto dialog = Dialog();
    dialog->SerialPortBox().setCurrentIndex(3);
    dialog->FixedBaudButton().click();
    dialog->ReconnectButton().click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Result().end, DialogEnd::kReconnect);
    EXPECT_TRUE(m_ui.shown.empty());
    EXPECT_NE(Bytes().find(std::string("Anschluss=") + kByIdPort +
                           "\r\nBaudrate=9600\r\n"
                           "Stoppbits=0\r\nAutoB=1\r\n"),
              std::string::npos)
        << Bytes();
}

TEST_F(ConnectionDialogTest, BadInputIsShownTheDialogStaysOpenAndNothingIsWritten) {
    auto dialog = Dialog(ConnectionType::kTcp);
    ShowWindow(*dialog);
    dialog->AddressField().setText("my station");
    dialog->AcceptButton().click();
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(m_ui.Messages().size(), 1u);
    EXPECT_EQ(m_ui.Messages()[0], "\"my station\" is no IP address or host name.");

    // The port field takes digits only; a number beyond a port is still refused.
    dialog->AddressField().setText("wetter.lan");
    QTest::keyClicks(&dialog->TcpPortField(), "x");
    EXPECT_EQ(dialog->TcpPortField().text(), "23");
    dialog->TcpPortField().setText("99999");
    dialog->ReconnectButton().click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(m_ui.Messages().back(), "TCP/IP Port: please enter an integer between 0 and 65535.");

    // A device path typed in that does not exist.
    dialog->TypeButton(ConnectionType::kSerial).click();
    dialog->SerialPortBox().setEditText("/dev/ttyUSB7");
    m_probe.openErrors = {ENOENT};
    dialog->AcceptButton().click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(m_ui.Messages().back(),
              "The port /dev/ttyUSB7 does not exist.\nPlease choose a listed port or check the "
              "device path.");
    EXPECT_EQ(dialog->SerialPortStatus().text(), "does not exist");
    EXPECT_EQ(m_ui.Messages().size(), 3u) << "no announcement for a refused choice";
    EXPECT_EQ(Bytes(), kStation);
}

TEST_F(ConnectionDialogTest, ItsButtonsOpenTheLineModemAndReconnectSettings) {
    auto dialog = Dialog(ConnectionType::kModem);
    WithModal<CKonfigurationComDlg>([&] { dialog->ModemConfigureButton().click(); },
                                    [](CKonfigurationComDlg& line) {
                                        line.BaudBox().setCurrentText("19200");
                                        line.AcceptButton().click();
                                    });
    WithModal<CDlgModemSetts>([&] { dialog->ModemSettingsButton().click(); },
                              [](CDlgModemSetts& modem) {
                                  modem.PhoneField().setText("+49 171 1234567");
                                  modem.OkButton().click();
                              });
    WithModal<CDlgVerbOptionen>([&] { dialog->OptionsButton().click(); },
                                [](CDlgVerbOptionen& options) {
                                    options.ReconnectBox().setChecked(true);
                                    options.SaveButton().click();
                                });
    dialog->TypeButton(ConnectionType::kSerial).click();
    WithModal<CKonfigurationComDlg>([&] { dialog->SerialConfigureButton().click(); },
                                    [](CKonfigurationComDlg& line) {
                                        EXPECT_EQ(line.StopBitsBox().currentText(), "1");
                                        line.CancelButton().click();
                                    });
    const std::string bytes = Bytes();
    EXPECT_NE(bytes.find("[Modem Verbindung]\r\nAnschluss=/dev/ttyACM0\r\nBaudrate=19200\r\n"),
              std::string::npos)
        << bytes;
    EXPECT_NE(bytes.find("Telefon Nummer=+49 171 1234567\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("[Verbindungsabbruch]\r\nReconnectAktiv=TRUE\r\n"), std::string::npos);
    EXPECT_FALSE(m_process.reconnect) << "never for a station reached by modem";
    EXPECT_NE(bytes.find("[Serielle Schnittstelle]\r\nAnschluss=/dev/ttyUSB0\r\nBaudrate=9600\r\n"),
              std::string::npos)
        << "Cancel of the serial line settings";
}

// ---- "Configure COM-Port" ----

TEST_F(ConnectionDialogTest, LineSettingsOfferTheirListsAndWriteTheChoice) {
    CKonfigurationComDlg dialog(m_profile, File(), LineSection::kSerial, m_ui, "wetter");
    EXPECT_EQ(dialog.windowTitle(), "Configure COM-Port");
    EXPECT_EQ(Items(dialog.BaudBox()), (QStringList{"300", "600", "1200", "2400", "4800", "9600",
                                                    "19200", "38400", "115200", "230400"}));
    EXPECT_EQ(Items(dialog.DataBitsBox()), (QStringList{"7", "8"}));
    EXPECT_EQ(Items(dialog.ParityBox()), (QStringList{"0", "1", "2"}));
    EXPECT_EQ(Items(dialog.StopBitsBox()), (QStringList{"1", "2"}));
    EXPECT_EQ(dialog.BaudBox().currentText(), "9600");
    EXPECT_EQ(dialog.DataBitsBox().currentText(), "8") << "nothing stored: the default";
    EXPECT_EQ(dialog.StopBitsBox().currentText(), "1") << "stored code 0";

    ShowWindow(dialog);
    ExpectNothingCut(dialog);
    EXPECT_TRUE(dialog.grab().save(Screenshot("com-port.png")));

    dialog.BaudBox().setCurrentText("2400");
    dialog.ParityBox().setCurrentText("2");
    dialog.StopBitsBox().setCurrentText("2");
    QTest::keyClick(&dialog.BaudBox(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_NE(Bytes().find("[Serielle Schnittstelle]\r\nAnschluss=/dev/ttyUSB0\r\nBaudrate=2400\r\n"
                           "Stoppbits=2\r\nAutoB=0\r\nDatenbits=8\r\nParitaet=2\r\n"),
              std::string::npos)
        << Bytes();
}

// ---- "GSM-Parameter Settings" ----

TEST_F(ConnectionDialogTest, ModemSettingsShowTheStoredFieldsAndRaiseAShortTimeout) {
    m_folder.Write("wetterstation.ini",
                   "[Modem Verbindung]\r\nTelefon Nummer=0171 234567\r\nWaehl Abschluss=;\r\n"
                   "Mobil Pin=4711\r\nTimeout=60\r\n");
    CDlgModemSetts dialog(m_profile, File(), m_ui, "wetter");
    EXPECT_EQ(dialog.windowTitle(), "GSM-Parameter Settings");
    EXPECT_EQ(dialog.PhoneField().text(), "0171 234567");
    EXPECT_EQ(dialog.DialCommandField().text(), "ATD");
    EXPECT_EQ(dialog.TerminationField().text(), ";");
    EXPECT_EQ(dialog.PinField().echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.TimeoutField().text(), "60");
    EXPECT_FALSE(dialog.LogFileBox().isEnabled());

    ShowWindow(dialog);
    ExpectNothingCut(dialog);
    EXPECT_TRUE(dialog.grab().save(Screenshot("gsm.png")));

    dialog.TimeoutField().setText("ten");
    dialog.OkButton().click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{
                                   "Timeout dial up: please enter the minutes as a whole number."});

    dialog.TimeoutField().setText("1");
    dialog.BeforeField().setText("AT+CBST=7,0,1");
    dialog.OkButton().click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(m_ui.Messages().back(),
              "Timeout should be at least 2 minutes!\r\nIt will be set now to 2 minutes!");
    EXPECT_EQ(Bytes(),
              "[Modem Verbindung]\r\nTelefon Nummer=0171 234567\r\nWaehl Abschluss=;\r\n"
              "Mobil Pin=4711\r\nTimeout=2\r\nWaehl Befehl=ATD\r\nAufbau vorher=AT+CBST=7,0,1\r\n"
              "Aufbau nachher=\r\nSynch=0\r\nSynch Secs=0\r\nLog Datei=0\r\n");
}

// ---- "Connection options" ----

TEST_F(ConnectionDialogTest, ReconnectTimesCanBeEditedOnlyWhileReconnectIsOn) {
    CDlgVerbOptionen dialog(m_profile, File(), ConnectionType::kTcp, m_process, m_ui, "wetter");
    EXPECT_EQ(dialog.windowTitle(), "Connection options");
    EXPECT_FALSE(dialog.ReconnectBox().isChecked());
    EXPECT_EQ(dialog.DelayField().text(), "15");
    EXPECT_EQ(dialog.TimeoutField().text(), "15");
    EXPECT_FALSE(dialog.DelayField().isEnabled());
    EXPECT_FALSE(dialog.TimeoutField().isEnabled());

    QTest::keyClick(&dialog.ReconnectBox(), Qt::Key_Space);
    EXPECT_TRUE(dialog.DelayField().isEnabled());
    EXPECT_TRUE(dialog.TimeoutField().isEnabled());
    ShowWindow(dialog);
    ExpectNothingCut(dialog);
    EXPECT_TRUE(dialog.grab().save(Screenshot("connection-options.png")));

    dialog.DelayField().setText("0");
    dialog.SaveButton().click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(m_ui.Messages(),
              std::vector<std::string>{"Trying to reconnect after: please enter a number of "
                                       "seconds greater than 0 and at most 86400."});
    EXPECT_FALSE(m_process.reconnect);
    EXPECT_EQ(Bytes(), kStation);

    dialog.DelayField().setText("30");
    dialog.TimeoutField().setText("2.5");
    dialog.SaveButton().click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(m_process.reconnect) << "at once";
    EXPECT_NE(Bytes().find("[Verbindungsabbruch]\r\nReconnectAktiv=TRUE\r\nReconnect=30.000000\r\n"
                           "ReconnectTimeout=2.500000\r\n"),
              std::string::npos);
}

// ---- "searching for baudrate..." ----

// A search that goes on until it is told to stop, as with no station attached.
class SearchUntilAborted final : public CDataBase {
public:
    explicit SearchUntilAborted(AutoResetEvent& abort) : m_abort(abort) {}
    bool Open() override { return true; }
    ReadResult Read(char*, int) override { return ReadResult::TimedOut; }
    int Write(const std::string& text) override { return static_cast<int>(text.size()); }
    int Close() override { return 0; }
    std::string GetDescription() const override { return "waiting"; }
    bool PurgeInput() override { return true; }
    bool IsOpen() const override { return true; }
    bool SearchBaudRate(SerialLineSettings&) override {
        while (!m_abort.TestAndClear()) std::this_thread::sleep_for(1ms);
        return false;
    }

private:
    AutoResetEvent& m_abort;
};

TEST_F(ConnectionDialogTest, BaudSearchShowsItIsBusyAndCancelStopsIt) {
    AutoResetEvent abort;
    QtEventQueue events;
    SystemClock clock;
    SearchUntilAborted transport(abort);
    CBaudrate dialog(transport, {"/dev/ttyUSB0", 9600, 8, 0, 2}, abort, events, clock, m_profile,
                     File());
    EXPECT_EQ(dialog.windowTitle(), "searching for baudrate...");
    dialog.Start();
    ShowWindow(dialog);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.SearchingLabel().text().size() >= 12; }, 2000))
        << "the text grows";
    EXPECT_TRUE(dialog.SearchingLabel().text().startsWith("Searching Ba"));
    ExpectNothingCut(dialog);
    EXPECT_TRUE(dialog.grab().save(Screenshot("baud-search.png")));

    const auto start = std::chrono::steady_clock::now();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.Found());
    EXPECT_EQ(Bytes(), kStation) << "nothing found, nothing written";
}

TEST_F(ConnectionDialogTest, BaudSearchWritesTheRateFoundAndCloses) {
    AutoResetEvent abort;
    QtEventQueue events;
    SystemClock clock;
    ManualClock portClock;  // the port's waits pass at once
    TransportServices services{portClock, events, m_ui, abort};
    auto port = std::make_unique<FakeSerialPort>(&portClock);
    port->station = [](FakeSerialPort& p, const std::string& written) {
        if (written == "?X\r\n" && p.Rate() == 4800) p.Send("<?X>");
    };
    CDataSeriell transport({"/dev/ttyUSB0", 9600, 8, 0, 2}, services, std::move(port));
    CBaudrate dialog(transport, {"/dev/ttyUSB0", 9600, 8, 0, 2}, abort, events, clock, m_profile,
                     File());
    EXPECT_TRUE(dialog.Run());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Line().baudRate, 4800);
    EXPECT_NE(
        Bytes().find("[Serielle Schnittstelle]\r\nAnschluss=/dev/ttyUSB0\r\nBaudrate=4800\r\n"),
        std::string::npos)
        << Bytes();
}

#ifdef WETTER_HAVE_SIMULATOR

// ---- from stored data to acquisition with the windows alone ----

// A station home with a day of stored data that only reads it, and the simulated station.
class ConnectionWindowsWithStation : public ::testing::Test {
protected:
    void Start(orbsim::StationOptions options) {
        QSettings("Norvika GmbH", "wetter").clear();
        options.cycleSeconds = 0.3;
        options.storageInterval = 2;
        options.sensors = {{"TE", 1}, {"FE", 0}};
        m_station = std::make_unique<orbsim::Station>(options);
        ASSERT_TRUE(m_station->Start());
        orbsim::SeedOptions seed;
        seed.folder = m_home.DataFolder();
        seed.days = 1;
        seed.interval = 2;
        seed.sensors = options.sensors;
        seed.end = orbsim::LastBoundaryAtOrBefore(std::time(nullptr) - 30, 2);
        ASSERT_TRUE(orbsim::SeedDataFolder(seed).ok);
        m_home.WriteStation(
            "[DataParams]\nSettsID=0\n[Programmstart]\nStart=0\n"
            "[Dateninterpretation]\nMit_Speicher=0\nDaten_Speichern=0\n",
            2);
        auto ui = std::make_unique<ScriptedUi>();
        m_ui = ui.get();
        m_app = std::make_unique<CWetterApp>(m_home.folder.File("wetter"), std::move(ui));
        ASSERT_TRUE(m_app->InitInstance({"wetter"}));
        ASSERT_FALSE(Document().AcquisitionRunning()) << "stored data only";
    }
    // No data and no settings yet: the program's very first start.
    void StartFirstTime(orbsim::StationOptions options) {
        QSettings("Norvika GmbH", "wetter").clear();
        options.cycleSeconds = 0.3;
        options.storageInterval = 2;
        options.sensors = {{"TE", 1}, {"FE", 0}};
        m_station = std::make_unique<orbsim::Station>(options);
        ASSERT_TRUE(m_station->Start());
        auto ui = std::make_unique<ScriptedUi>();
        m_ui = ui.get();
        m_app = std::make_unique<CWetterApp>(m_home.folder.File("wetter"), std::move(ui));
        ASSERT_TRUE(m_app->InitInstance({"wetter"}));
    }
    ~ConnectionWindowsWithStation() override {
        if (m_app && m_app->MainFrame()) m_app->MainFrame()->close();
    }

    CWetterDoc& Document() const { return *m_app->MainFrame()->Documents().front(); }
    // "&Connection..." of the Setup menu, with `fill` acting in the dialog.
    void ConnectThroughTheMenu(const std::function<void(CEinstellung&)>& fill) {
        QAction* command = nullptr;
        for (QAction* menu : m_app->MainFrame()->menuBar()->actions())
            if (menu->text() == "&Setup")
                for (QAction* action : menu->menu()->actions())
                    if (action->text() == "&Connection...") command = action;
        ASSERT_NE(command, nullptr);
        WithModal<CEinstellung>([&] { command->trigger(); }, fill);
    }

    StationHome m_home;
    std::unique_ptr<orbsim::Station> m_station;
    ScriptedUi* m_ui = nullptr;
    std::unique_ptr<CWetterApp> m_app;
};

TEST_F(ConnectionWindowsWithStation, ReconnectOverTheNetworkStartsTheAcquisition) {
    orbsim::StationOptions options;
    options.link = orbsim::LinkKind::kTcp;
    Start(options);
    ConnectThroughTheMenu([&](CEinstellung& dialog) {
        EXPECT_TRUE(dialog.TypeButton(ConnectionType::kStoredDataOnly).isChecked());
        dialog.TypeButton(ConnectionType::kTcp).click();
        dialog.AddressField().setText("127.0.0.1");
        dialog.TcpPortField().setText(QString::number(m_station->TcpPort()));
        dialog.ReconnectButton().click();
    });
    EXPECT_TRUE(Document().AcquisitionRunning());
    EXPECT_EQ(Document().Connection().type, ConnectionType::kTcp);
    EXPECT_TRUE(m_ui->shown.empty()) << m_ui->shown.front().text;
    const std::time_t initialised = Document().LastStoredTime();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return Document().LastStoredTime() >= initialised + 2; }, 5000))
        << "live records are stored";
}

// A new owner: the storage options, then the connection, and records arrive;
// over the network and over a serial line.
TEST_F(ConnectionWindowsWithStation, FirstStartLeadsFromTheStorageOptionsToAcquisition) {
    for (const bool serial : {false, true}) {
        SCOPED_TRACE(serial ? "serial" : "network");
        if (m_app && m_app->MainFrame()) m_app->MainFrame()->close();
        m_app.reset();
        m_station.reset();
        for (const char* file : {"wetterstation.ini", "wetterdefine.ini"})
            std::filesystem::remove(m_home.folder.File(file));
        std::filesystem::remove_all(m_home.DataFolder());

        orbsim::StationOptions options;
        options.link = serial ? orbsim::LinkKind::kPty : orbsim::LinkKind::kTcp;
        if (serial) options.linkPath = m_home.folder.File("ttyStation");
        options.logger = false;  // the kind of station a first start assumes
        StartFirstTime(options);
        ASSERT_FALSE(Document().AcquisitionRunning());
        auto* storage = m_app->MainFrame()->findChild<CDatenSpeichernDlg*>();
        ASSERT_NE(storage, nullptr);
        storage->IntervalField().setValue(10);

        // The connection settings follow once the storage options are closed.
        bool connected = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<CEinstellung*>(QApplication::activeModalWidget());
            if (dialog == nullptr || connected) return;
            connected = true;
            if (serial) {
                dialog->TypeButton(ConnectionType::kSerial).click();
                dialog->SerialPortBox().setEditText(QString::fromStdString(options.linkPath));
            } else {
                dialog->TypeButton(ConnectionType::kTcp).click();
                dialog->AddressField().setText("127.0.0.1");
                dialog->TcpPortField().setText(QString::number(m_station->TcpPort()));
            }
            dialog->ReconnectButton().click();
        });
        poll.start(20);
        // "No additional directory entered!" is only said.
        storage->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return connected; }, 5000));
        poll.stop();
        ASSERT_TRUE(Document().AcquisitionRunning());
        EXPECT_EQ(Document().Storage().interval, 10);
        EXPECT_EQ(m_ui->Messages(), std::vector<std::string>{"No additional directory entered!"});
        EXPECT_TRUE(QTest::qWaitFor([&] { return Document().LastStoredTime() != 0; }, 15000))
            << "records are stored";
        EXPECT_TRUE(std::filesystem::is_directory(m_home.DataFolder()));
    }
}

TEST_F(ConnectionWindowsWithStation, AcceptWhileRecordsArriveKeepsTheLinkUntilTheNextConnect) {
    orbsim::StationOptions options;
    options.link = orbsim::LinkKind::kTcp;
    Start(options);
    ConnectThroughTheMenu([&](CEinstellung& dialog) {
        dialog.TypeButton(ConnectionType::kTcp).click();
        dialog.AddressField().setText("127.0.0.1");
        dialog.TcpPortField().setText(QString::number(m_station->TcpPort()));
        dialog.ReconnectButton().click();
    });
    ASSERT_TRUE(Document().AcquisitionRunning());
    const auto link = Document().Context().process.CurrentTransport.Get();

    ConnectThroughTheMenu([&](CEinstellung& dialog) {
        dialog.AddressField().setText("192.0.2.1");
        QTest::mouseClick(&dialog.AcceptButton(), Qt::LeftButton, {},
                          dialog.AcceptButton().rect().center());
    });
    EXPECT_EQ(m_ui->Messages(),
              std::vector<std::string>{"Settings will be used for the next time"});
    EXPECT_EQ(Document().Context().process.CurrentTransport.Get(), link);
    const std::time_t accepted = Document().LastStoredTime();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Document().LastStoredTime() >= accepted + 4; }, 8000))
        << "records go on arriving over the link in use";
    EXPECT_TRUE(link->IsOpen());
}

TEST_F(ConnectionWindowsWithStation, CancelledBaudSearchIsACautionWithItsOutputLine) {
    orbsim::StationOptions options;
    options.link = orbsim::LinkKind::kPty;
    options.linkPath = m_home.folder.File("ttyStation");
    options.faults.silent = true;
    Start(options);
    OutputList::Process().Clear();
    bool cancelled = false;
    QTimer person;
    QObject::connect(&person, &QTimer::timeout, [&] {
        auto* search = qobject_cast<CBaudrate*>(QApplication::activeModalWidget());
        if (search == nullptr || cancelled) return;
        cancelled = true;
        QTest::mouseClick(&search->CancelButton(), Qt::LeftButton, {},
                          search->CancelButton().rect().center());
    });
    person.start(100);
    ConnectThroughTheMenu([&](CEinstellung& dialog) {
        dialog.TypeButton(ConnectionType::kSerial).click();
        dialog.SerialPortBox().setEditText(QString::fromStdString(options.linkPath));
        dialog.SearchBaudButton().click();
        dialog.ReconnectButton().click();
    });
    person.stop();
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(Document().AcquisitionRunning());
    const std::string text =
        "Receive no data!\n\nAction:\n- Is the selected port OK?\n- Is the connection to the "
        "weatherstation OK?";
    ASSERT_EQ(m_ui->shown.size(), 1u);
    EXPECT_EQ(m_ui->shown[0].kind, "caution");
    EXPECT_EQ(m_ui->shown[0].text, text);
    bool purple = false;
    for (const auto& line : OutputList::Process().Snapshot())
        purple = purple || (line.text == text && line.colour == kColourCaution);
    EXPECT_TRUE(purple);
}

TEST_F(ConnectionWindowsWithStation, ReconnectOverASerialLineSearchesTheRateFirst) {
    orbsim::StationOptions options;
    options.link = orbsim::LinkKind::kPty;
    options.linkPath = m_home.folder.File("ttyStation");
    options.baudRate = 19200;  // one rate below the first one tried
    Start(options);
    ConnectThroughTheMenu([&](CEinstellung& dialog) {
        dialog.TypeButton(ConnectionType::kSerial).click();
        dialog.SerialPortBox().setEditText(QString::fromStdString(options.linkPath));
        EXPECT_TRUE(dialog.SearchBaudButton().isChecked());
        dialog.ReconnectButton().click();
    });
    EXPECT_TRUE(Document().AcquisitionRunning());
    EXPECT_TRUE(m_ui->shown.empty()) << m_ui->shown.front().text;
    EXPECT_EQ(m_station->LineBaudRate(), 19200);
    const std::string station = m_home.folder.Read("wetterstation.ini");
    EXPECT_NE(station.find("Anschluss=" + options.linkPath + "\r\nAutoB=0\r\nBaudrate=19200\r\n"),
              std::string::npos)
        << station;
}

#endif

}  // namespace
