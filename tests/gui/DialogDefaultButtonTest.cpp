// Return in each dialog presses the button that ends it. QDialog only knows a
// default button set once the button is inside it; one set before is lost as
// the dialog is shown, and Return then presses the first other button.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "DialogChecks.h"
#include "FakeSerialPort.h"
#include "FakeTransport.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "app/ConnectionOptions.h"
#include "app/ForwardingForm.h"
#include "display/DiagramPeriod.h"
#include "gui/app/CDlgOutput.h"
#include "gui/app/CProcessControlDlg.h"
#include "gui/app/CProcessNewDlg.h"
#include "gui/comm/CBaudrate.h"
#include "gui/comm/CDlgBefehlSetts.h"
#include "gui/comm/CDlgForwarding.h"
#include "gui/comm/CDlgModemSetts.h"
#include "gui/comm/CDlgOrtshoehe.h"
#include "gui/comm/CDlgPinPuk.h"
#include "gui/comm/CDlgVerbOptionen.h"
#include "gui/comm/CEinstellung.h"
#include "gui/comm/CKonfigurationComDlg.h"
#include "gui/comm/CRegenresetDlg.h"
#include "gui/comm/CZeitStellen.h"
#include "gui/display/CDarstellung.h"
#include "gui/display/CDlgWindroseSetts.h"
#include "gui/publish/CDlgAwekas.h"
#include "gui/publish/CDlgHTTPUpload.h"
#include "gui/publish/CHTMLWriterBearbeiten.h"
#include "gui/storage/CDatenSpeicherDlg.h"
#include "gui/storage/CDatenSpeichernDlg.h"
#include "platform/AutoResetEvent.h"
#include "platform/PosixFileStore.h"
#include "publish/AwekasSettings.h"
#include "publish/CHttpUpload.h"
#include "publish/HtmlSettings.h"

namespace {

using namespace ConnectionOptions;

// A station with the sensors TE and FE, and what the dialogs below are built on.
struct World : ManualWorld {
    World() : ManualWorld(std::time(nullptr)) {
        WriteStation("[Regen]\nReset=7\n");
        folder.Write("wetterdefine.ini", "[TE]\nName=Temperatur\n[FE]\nName=Feuchte\n");
        std::filesystem::create_directories(DataFolder());
        std::filesystem::create_directories(std::filesystem::path(folder.File("sys")) / "ttyUSB0" /
                                            "device");
        doc = std::make_unique<CWetterDoc>(context);
        doc->LoadSettings();
        doc->SensorIdentifiers() = {"TE", "FE"};
        doc->LoadSensorDefinitions();
    }

    std::unique_ptr<CEinstellung> Connection(ConnectionType type) {
        ConnectionSettings current;
        current.type = type;
        current.serial.port = "/dev/ttyUSB0";
        current.tcpAddress = "wetter.lan";
        current.tcpPort = 23;
        current.modem.line.port = "/dev/ttyACM0";
        PortLists lists;
        lists.serial = {{"/dev/ttyUSB0", 0}};
        lists.modem = {{"/dev/ttyACM0", 0}};
        return std::make_unique<CEinstellung>(profile, StationFile(),
                                              OpenConnectionChoice(profile, StationFile(), current),
                                              lists, probe, processWide, ui, "wetter");
    }

    std::unique_ptr<CWetterDoc> doc;
    FakeSerialPort probe;
    ProcessWideSettings processWide;
    PosixFileStore files;
    AwekasSettings awekas;
    CHttpUpload upload{profile, folder.File("http_up.ini")};
    DiagramPeriod period;
    FakeTransport transport{"serial /dev/ttyUSB0"};
    AutoResetEvent abort;
    std::optional<ForwardingForm> forwarding;
};

struct Case {
    const char* name;
    std::function<std::unique_ptr<QDialog>(World&)> make;
    const char* pressed;  // the button Return must press
    QDialog::DialogCode result = QDialog::Accepted;
    bool closes = true;
};

const Case kCases[] = {
    {"HTTP upload",
     [](World& w) { return std::make_unique<CDlgHTTPUpload>(w.upload, false, w.ui, "wetter"); },
     "OK"},
    {"AWEKAS",
     [](World& w) {
         return std::make_unique<CDlgAwekas>(w.awekas, w.profile, w.folder.File("awekas.ini"),
                                             w.doc->Sensors(), CDlgAwekas::CheckConnection{}, w.ui,
                                             "wetter");
     },
     "OK"},
    {"HTML page",
     [](World& w) {
         return std::make_unique<CHTMLWriterBearbeiten>(
             w.files, w.folder.File("HTML.ini"), HtmlSensorNames(w.doc->Sensors().CurrentValues()),
             w.ui, "wetter");
     },
     "OK"},
    {"data storage",
     [](World& w) { return std::make_unique<CDatenSpeicherDlg>(*w.doc, w.ui, "wetter"); },
     "Accept"},
    {"write / read options",
     [](World& w) { return std::make_unique<CDatenSpeichernDlg>(*w.doc, w.ui, "wetter"); },
     "Accept"},
    {"period and sensors",
     [](World& w) {
         return std::make_unique<CDarstellung>(w.period, w.doc->Sensors(),
                                               std::vector<std::string>{"TE"}, false, w.clock, w.ui,
                                               "wetter");
     },
     "Get data"},
    {"wind rose sensors",
     [](World& w) {
         return std::make_unique<CDlgWindroseSetts>(WindRoseSettings{}, w.doc->Sensors());
     },
     "OK"},
    {"connection, COM port", [](World& w) { return w.Connection(ConnectionType::kSerial); },
     "Accept"},
    {"connection, network", [](World& w) { return w.Connection(ConnectionType::kTcp); }, "Accept"},
    {"connection options",
     [](World& w) {
         return std::make_unique<CDlgVerbOptionen>(w.profile, w.StationFile(), ConnectionType::kTcp,
                                                   w.processWide, w.ui, "wetter");
     },
     "Save"},
    {"line settings",
     [](World& w) {
         return std::make_unique<CKonfigurationComDlg>(w.profile, w.StationFile(),
                                                       LineSection::kSerial, w.ui, "wetter");
     },
     "Accept"},
    {"modem settings",
     [](World& w) {
         return std::make_unique<CDlgModemSetts>(w.profile, w.StationFile(), w.ui, "wetter");
     },
     "OK"},
    {"port forwarding",
     [](World& w) {
         w.forwarding.emplace(w.context, w.StationFile(), w.probe,
                              SerialPortFolders{w.folder.File("sys"), "/dev", w.folder.File("id")});
         return std::make_unique<CDlgForwarding>(*w.forwarding);
     },
     "OK"},
    {"altitude, station connected",
     [](World& w) {
         auto link = std::make_shared<FakeTransport>("tcp");
         link->open = true;
         w.process.CurrentTransport.Exchange(link);
         return std::make_unique<CDlgOrtshoehe>(*w.doc, w.ui, "wetter");
     },
     "SET", QDialog::Rejected, false},
    {"precipitation reset", [](World& w) { return std::make_unique<CRegenresetDlg>(*w.doc); },
     "Accept"},
    {"station clock",
     [](World& w) { return std::make_unique<CZeitStellen>(w.clock, w.clock.Now() - 3600); }, "OK"},
    {"terminal commands",
     [](World& w) {
         return std::make_unique<CDlgBefehlSetts>(w.profile, w.folder.File("wetterTermBefehl.ini"),
                                                  w.ui, "wetter");
     },
     "Save"},
    {"PIN", [](World&) { return std::make_unique<CDlgPinPuk>("Please insert PIN!"); }, "OK"},
    {"process control",
     [](World& w) {
         return std::make_unique<CProcessControlDlg>(w.doc->Processes(), *w.doc, w.ui, nullptr,
                                                     "wetter");
     },
     "OK"},
    {"process",
     [](World& w) {
         return std::make_unique<CProcessNewDlg>(*w.doc, w.ui, nullptr, "wetter",
                                                 ProcessTexts{"/opt/a.sh", "", "TE>1", "TE<1"});
     },
     "Accept"},
    {"output", [](World&) { return std::make_unique<CDlgOutput>(); }, "OK"},
    {"baud rate search",
     [](World& w) {
         return std::make_unique<CBaudrate>(w.transport,
                                            SerialLineSettings{"/dev/ttyUSB0", 9600, 8, 0, 2},
                                            w.abort, w.events, w.clock, w.profile, w.StationFile());
     },
     "Cancel", QDialog::Rejected},
};

// The first field one types in, in Tab order. An editable list is none: Return
// there first takes the entry the list completed.
QLineEdit* FirstTextField(QDialog& dialog) {
    for (QWidget* w = dialog.nextInFocusChain(); w != &dialog; w = w->nextInFocusChain()) {
        auto* field = qobject_cast<QLineEdit*>(w);
        if (field != nullptr && field->isVisible() && field->isEnabled() && !field->isReadOnly() &&
            qobject_cast<QComboBox*>(field->parentWidget()) == nullptr)
            return field;
    }
    return nullptr;
}

TEST(DialogDefaultButtonTest, ReturnPressesEachDialogsOwnButton) {
    for (const Case& row : kCases) {
        // Tabbing over another button makes it the default while it has the
        // focus; leaving it must give the default back.
        for (const bool tabbedAround : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (tabbedAround ? ", after a round of Tab" : ""));
            World world;
            std::unique_ptr<QDialog> dialog = row.make(world);
            std::vector<std::string> pressed;
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                QObject::connect(button, &QPushButton::clicked, [&pressed, button] {
                    pressed.push_back(ShownText(button->text()).toStdString());
                });
            // A wrong button may open a dialog of its own: it is closed again.
            QTimer closeOthers;
            QObject::connect(&closeOthers, &QTimer::timeout, [&] {
                auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (other != nullptr && other != dialog.get()) other->reject();
            });
            closeOthers.start(20);

            ShowWindow(*dialog);
            QWidget* start = QApplication::focusWidget();
            QWidget* target = dialog.get();
            if (QLineEdit* field = FirstTextField(*dialog)) {
                field->setFocus();
                start = target = field;
            }
            if (tabbedAround && start != nullptr) {
                for (const QWidget* widget : TabChain(*start)) {
                    const_cast<QWidget*>(widget)->setFocus(Qt::TabFocusReason);
                    QApplication::processEvents();
                }
                start->setFocus(Qt::TabFocusReason);
            }
            QTest::keyClick(target, Qt::Key_Return);

            EXPECT_EQ(pressed, std::vector<std::string>{row.pressed});
            EXPECT_EQ(dialog->result(), row.result) << testing::PrintToString(world.ui.Messages());
            EXPECT_NE(dialog->isVisible(), row.closes);
        }
    }
}

}  // namespace
