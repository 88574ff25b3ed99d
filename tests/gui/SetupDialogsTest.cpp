// The dialogs of the HTML page settings and of process control, driven like a
// person would: fields filled, buttons and keys pressed, then the files and
// messages checked. Pictures land in the build folder for people to look at.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "DialogChecks.h"
#include "RecordingLauncher.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "app/ProcessControl.h"
#include "app/ProcessList.h"
#include "gui/app/CMainFrame.h"
#include "gui/app/CProcessControlDlg.h"
#include "gui/app/CProcessNewDlg.h"
#include "gui/app/CWetterApp.h"
#include "gui/publish/CHTMLWriterBearbeiten.h"
#include "gui/storage/CDatenSpeichernDlg.h"
#include "platform/FileSystem.h"
#include "platform/PosixFileStore.h"
#include "publish/HtmlSettings.h"

namespace {

QStringList Items(const QListWidget& list) {
    QStringList items;
    for (int row = 0; row < list.count(); ++row) items << list.item(row)->text();
    return items;
}

// A station with the sensors TE "Temperature" and FE "Humidity", a scripted
// person and a launcher that records.
class SetupDialogsTest : public ::testing::Test {
protected:
    SetupDialogsTest() {
        m_world.WriteStation("");
        m_world.folder.Write("wetterdefine.ini",
                             "[TE]\nName=Temperature\nUnit=C\nNachKomma=1\n"
                             "[FE]\nName=Humidity\nUnit=%\nNachKomma=0\n");
        m_world.context.launcher = &m_launcher;
        m_doc = std::make_unique<CWetterDoc>(m_world.context);
        m_doc->SensorIdentifiers() = {"TE", "FE"};
        m_doc->LoadSensorDefinitions();
    }

    std::string HtmlPath() const { return m_world.folder.File("HTML.ini"); }
    std::string HtmlBytes() const { return m_world.folder.Read("HTML.ini"); }
    ScriptedUi& Ui() { return m_world.ui; }

    std::unique_ptr<CHTMLWriterBearbeiten> HtmlDialog(const std::string& path) {
        return std::make_unique<CHTMLWriterBearbeiten>(
            m_files, path, HtmlSensorNames(m_doc->Sensors().CurrentValues()), Ui(), "wetter");
    }

    // The process list as a new document reads it from process.ini.
    std::vector<ProcessTexts> StoredProcesses() {
        ProcessList list;
        list.LoadProcesses(m_world.profile, m_doc->Processes().ProcessFile());
        std::vector<ProcessTexts> texts;
        for (const auto& process : list.Processes())
            texts.push_back(ProcessList::TextsOf(*process));
        return texts;
    }

    ManualWorld m_world{std::time(nullptr)};
    PosixFileStore m_files;
    RecordingLauncher m_launcher;
    std::unique_ptr<CWetterDoc> m_doc;
};

// ---- HTML configuration ----

TEST_F(SetupDialogsTest, HtmlDialogOpensWithTheFileAndOkWithoutChangesKeepsIt) {
    const std::string saved =
        "[SectionLocation]\r\nAktuelle Daten aus: M\xFCnchen\r\nDach\r\n[SectionSensors]\r\n"
        "Humidity\r\n[SectionPicture]\r\n/srv/www/bild.jpg\r\n[SectionText]\r\nORB9\r\nfrei\r\n";
    m_world.folder.Write("HTML.ini", saved);
    auto dialog = HtmlDialog(HtmlPath());
    EXPECT_EQ(dialog->windowTitle(), "HTML Ausgabe konfigurieren");
    EXPECT_EQ(dialog->LocationField().toPlainText(), "Aktuelle Daten aus: M\u00FCnchen\nDach\n");
    EXPECT_EQ(dialog->TextField().toPlainText(), "ORB9\nfrei\n");
    // The saved choice and picture are shown, so OK does not wipe them.
    EXPECT_EQ(Items(dialog->SelectedList()), QStringList{"Humidity"});
    EXPECT_EQ(Items(dialog->AvailableList()), QStringList{"Temperature"});
    EXPECT_EQ(dialog->PictureField().text(), "/srv/www/bild.jpg");

    ShowWindow(*dialog);
    ExpectNothingCut(*dialog);
    EXPECT_TRUE(dialog->grab().save(Screenshot("html-config.png")));
    QDialogButtonBox& buttons = *dialog->findChild<QDialogButtonBox*>();
    EXPECT_EQ(TabChain(dialog->LocationField()),
              (std::vector<const QWidget*>{
                  &dialog->LocationField(), &dialog->PictureField(), &dialog->PictureButton(),
                  &dialog->TextField(), &dialog->AvailableList(), &dialog->AddButton(),
                  &dialog->AddAllButton(), &dialog->RemoveButton(), &dialog->RemoveAllButton(),
                  &dialog->SelectedList(), buttons.button(QDialogButtonBox::Ok),
                  buttons.button(QDialogButtonBox::Cancel)}));

    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(HtmlBytes(), saved);
    EXPECT_TRUE(Ui().shown.empty());
}

TEST_F(SetupDialogsTest, HtmlDialogWritesWhatWasChosenInTheListOrder) {
    auto dialog = HtmlDialog(HtmlPath());
    // No file yet: the defaults, every sensor available, nothing to remove.
    EXPECT_EQ(dialog->LocationField().toPlainText(),
              "Aktuelle Daten aus:\nAktualisierungsintervall:\nOrt der Datenerfassung:\n");
    EXPECT_EQ(Items(dialog->AvailableList()), (QStringList{"Temperature", "Humidity"}));
    EXPECT_TRUE(dialog->SelectedList().count() == 0);
    EXPECT_TRUE(dialog->AddButton().isEnabled());
    EXPECT_FALSE(dialog->RemoveButton().isEnabled());
    EXPECT_FALSE(dialog->RemoveAllButton().isEnabled());

    dialog->AddAllButton().click();
    EXPECT_FALSE(dialog->AddButton().isEnabled());
    EXPECT_FALSE(dialog->AddAllButton().isEnabled());
    EXPECT_TRUE(dialog->RemoveAllButton().isEnabled());
    dialog->SelectedList().setCurrentRow(0);
    dialog->RemoveButton().click();  // Temperature back
    dialog->AddButton().click();     // and chosen again, now after Humidity
    EXPECT_EQ(Items(dialog->SelectedList()), (QStringList{"Humidity", "Temperature"}));

    dialog->LocationField().setPlainText("Ort: Dach\n\nHalle");
    dialog->TextField().setPlainText("Station\nam Fluss");
    Ui().file = "/srv/www/neu.jpg";
    dialog->PictureButton().click();
    EXPECT_EQ(dialog->PictureField().text(), "/srv/www/neu.jpg");
    Ui().file.reset();
    dialog->PictureButton().click();
    EXPECT_EQ(dialog->PictureField().text(), "/srv/www/neu.jpg") << "Cancel keeps the picture";

    dialog->accept();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    // The empty location line must not end the page's search for the sensors.
    EXPECT_EQ(HtmlBytes(),
              "[SectionLocation]\r\nOrt: Dach\r\n\r\r\nHalle\r\n[SectionSensors]\r\nHumidity\r\n"
              "Temperature\r\n[SectionPicture]\r\n/srv/www/neu.jpg\r\n[SectionText]\r\n"
              "Station\r\nam Fluss");
}

TEST_F(SetupDialogsTest, HtmlDialogKeys) {
    struct Row {
        const char* name;
        int key;
        bool accepted;
    };
    for (const Row row :
         {Row{"Enter is OK", Qt::Key_Return, true}, Row{"Esc is Cancel", Qt::Key_Escape, false}}) {
        SCOPED_TRACE(row.name);
        std::remove(HtmlPath().c_str());
        auto dialog = HtmlDialog(HtmlPath());
        ShowWindow(*dialog);
        dialog->PictureField().setFocus();
        QTest::keyClicks(&dialog->PictureField(), "bild.jpg");
        QTest::keyClick(&dialog->PictureField(), static_cast<Qt::Key>(row.key));
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result() == QDialog::Accepted, row.accepted);
        EXPECT_EQ(HtmlBytes().find("bild.jpg") != std::string::npos, row.accepted);
    }
}

TEST_F(SetupDialogsTest, HtmlDialogStaysOpenWhenTheFileCannotBeWritten) {
    auto dialog = HtmlDialog(m_world.folder.File("no-such-folder/HTML.ini"));
    EXPECT_TRUE(Ui().shown.empty()) << "a missing file is no error";
    ShowWindow(*dialog);
    dialog->accept();
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(Ui().Messages().size(), 1u);
    EXPECT_EQ(Ui().Messages()[0],
              "HTML.ini couldn't be written: " + FileSystem::SystemErrorText(ENOENT));
    EXPECT_EQ(Ui().shown[0].caption, "wetter");
}

// ---- dialog "Process" ----

TEST_F(SetupDialogsTest, ProcessDialogShowsCheckResultsAndPutsTheCaretOnTheFault) {
    CProcessNewDlg dialog(*m_doc, Ui(), &m_launcher, "wetter");
    ShowWindow(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Process");
    EXPECT_EQ(dialog.CheckSyntaxButton().text(), "Check syntax ");

    // Typed conditions turn upper case as they are typed.
    dialog.ExecField().setFocus();
    QTest::keyClicks(&dialog.ExecField(), "te > 30;xx<2");
    EXPECT_EQ(dialog.ExecField().text(), "TE > 30;XX<2");

    struct Row {
        const char* name;
        const char* exec;
        const char* release;
        QString execStatus;
        QString releaseStatus;
        QLineEdit* focus;
        int caret;
    };
    const Row rows[] = {
        {"unknown variable in the launch condition", "TE > 30;XX<2", "", "Error from character 6 ",
         "", &dialog.ExecField(), 6},
        {"unknown variable in the release condition", "TE>30", "FE<2; QQ = 1",
         "Comparison conditions are correct..", "Error from character 5.", &dialog.ReleaseField(),
         5},
        {"both read to their end", "TE>30", "FE<2", "Comparison conditions are correct..",
         "Comparison conditions are correct..", nullptr, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        dialog.ExecField().setText(row.exec);
        dialog.ReleaseField().setText(row.release);
        dialog.ProgramField().setFocus();
        dialog.CheckSyntaxButton().click();
        EXPECT_EQ(dialog.ExecStatus().text(), row.execStatus);
        EXPECT_EQ(dialog.ReleaseStatus().text(), row.releaseStatus);
        if (row.focus != nullptr) {
            EXPECT_EQ(dialog.focusWidget(), row.focus);
            EXPECT_EQ(row.focus->cursorPosition(), row.caret);
            EXPECT_EQ(
                row.focus->text(),
                QString(row.focus == &dialog.ExecField() ? row.exec : row.release).remove(' '))
                << "spaces are gone";
        }
    }
    EXPECT_TRUE(Ui().shown.empty());
}

TEST_F(SetupDialogsTest, ProcessDialogAcceptsOnlyAProgramWithSoundConditions) {
    CProcessNewDlg dialog(*m_doc, Ui(), &m_launcher, "wetter");
    ShowWindow(dialog);
    dialog.ExecField().setText("TE>30");

    dialog.AcceptButton().click();
    EXPECT_EQ(Ui().Messages(),
              std::vector<std::string>{"No executable program / file has been selected."});
    EXPECT_EQ(dialog.focusWidget(), &dialog.ProgramField());
    EXPECT_TRUE(dialog.isVisible());

    // "..." puts the chosen file into the program field.
    Ui().file = "/opt/alarm.sh";
    dialog.ChooseFileButton().click();
    EXPECT_EQ(dialog.ProgramField().text(), "/opt/alarm.sh");
    dialog.ParameterField().setText("--wind \"sehr stark\"");

    // "Check process" starts it as process control would, and says when it could not.
    dialog.CheckProcessButton().click();
    EXPECT_EQ(m_launcher.calls, std::vector<std::string>{"launch /opt/alarm.sh|--wind|sehr stark"});
    m_launcher.failing = {"/opt/alarm.sh"};
    Ui().shown.clear();
    dialog.CheckProcessButton().click();
    EXPECT_EQ(Ui().Messages(), std::vector<std::string>{"Program / file couldn't be executed!"});

    // No release condition: the question; No keeps the dialog open, Yes closes it.
    Ui().shown.clear();
    Ui().answers = {MsgAnswer::No};
    dialog.AcceptButton().click();
    ASSERT_EQ(Ui().shown.size(), 1u);
    EXPECT_EQ(Ui().shown[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(dialog.isVisible());
    Ui().answers = {MsgAnswer::Yes};
    dialog.AcceptButton().click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Texts(),
              (ProcessTexts{"/opt/alarm.sh", "--wind \"sehr stark\"", "TE>30", ""}));
}

TEST_F(SetupDialogsTest, ProcessDialogFilledIn) {
    CProcessNewDlg dialog(
        *m_doc, Ui(), &m_launcher, "wetter",
        {"/home/station/bin/sturmwarnung.sh", "--mail wetter@example.org", "TE>30;FE<20", "TE<25"});
    ShowWindow(dialog);
    dialog.CheckSyntaxButton().click();
    EXPECT_EQ(dialog.ReleaseStatus().text(), "Comparison conditions are correct..");
    ExpectNothingCut(dialog);
    EXPECT_TRUE(dialog.grab().save(Screenshot("process.png")));
    EXPECT_EQ(TabChain(dialog.ProgramField()),
              (std::vector<const QWidget*>{
                  &dialog.ProgramField(), &dialog.ChooseFileButton(), &dialog.ParameterField(),
                  &dialog.ExecField(), &dialog.ReleaseField(), &dialog.CheckProcessButton(),
                  &dialog.CheckSyntaxButton(), &dialog.AcceptButton(), &dialog.CancelButton()}));

    // Esc closes without taking anything.
    QTest::keyClick(&dialog.ParameterField(), Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(SetupDialogsTest, ProcessDialogEnterIsAccept) {
    CProcessNewDlg dialog(*m_doc, Ui(), &m_launcher, "wetter", {"/opt/a.sh", "", "TE>1", "TE<1"});
    ShowWindow(dialog);
    dialog.ReleaseField().setFocus();
    QTest::keyClick(&dialog.ReleaseField(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(Ui().shown.empty());
}

// ---- dialog "Process control" ----

class ProcessControlDialogTest : public SetupDialogsTest {
protected:
    ProcessControlDialogTest() {
        EXPECT_TRUE(m_doc->Processes().AddProcess(
            {"/home/station/bin/sturmwarnung.sh", "--mail wetter@example.org", "WG>20", "WG<10"}));
        EXPECT_TRUE(m_doc->Processes().AddProcess({"/srv/www/upload", "", "TE>30", ""}));
        m_dialog = std::make_unique<CProcessControlDlg>(m_doc->Processes(), *m_doc, Ui(),
                                                        &m_launcher, "wetter");
        // The dialog "Process" answers as `m_answer` says, with the texts of `m_fill`.
        m_dialog->runProcessDialog = [this](CProcessNewDlg& dialog) {
            m_opened.push_back(dialog.Texts());
            if (!m_accept) return false;
            dialog.ProgramField().setText(m_fill.program.c_str());
            dialog.ParameterField().setText(m_fill.parameter.c_str());
            dialog.ExecField().setText(m_fill.execCondition.c_str());
            dialog.ReleaseField().setText(m_fill.releaseCondition.c_str());
            dialog.AcceptButton().click();
            return dialog.result() == QDialog::Accepted;
        };
    }

    QString Cell(int row, int column) const { return m_dialog->List().item(row, column)->text(); }

    std::unique_ptr<CProcessControlDlg> m_dialog;
    bool m_accept = true;
    ProcessTexts m_fill;
    std::vector<ProcessTexts> m_opened;
};

TEST_F(ProcessControlDialogTest, ListShowsTheProcessesNumberedFromOne) {
    QTableWidget& list = m_dialog->List();
    EXPECT_EQ(m_dialog->windowTitle(), "Process control");
    ASSERT_EQ(list.columnCount(), 5);
    QStringList titles;
    for (int c = 0; c < 5; ++c) titles << list.horizontalHeaderItem(c)->text();
    EXPECT_EQ(titles, (QStringList{"Nr.", "Execution condition", "Release condition",
                                   "Program / file", "Parameter"}));
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ((QStringList{Cell(1, 0), Cell(1, 1), Cell(1, 2), Cell(1, 3), Cell(1, 4)}),
              (QStringList{"2", "TE>30", "", "/srv/www/upload", ""}));
    EXPECT_FALSE(m_dialog->EditButton().isEnabled()) << "nothing selected yet";

    ShowWindow(*m_dialog);
    list.selectRow(0);
    ExpectNothingCut(*m_dialog);
    for (int c = 0; c < 4; ++c)
        EXPECT_GE(list.columnWidth(c),
                  list.horizontalHeader()->fontMetrics().horizontalAdvance(titles[c]))
            << titles[c].toStdString();
    EXPECT_TRUE(m_dialog->grab().save(Screenshot("process-control.png")));
    EXPECT_EQ(TabChain(list),
              (std::vector<const QWidget*>{&list, &m_dialog->NewButton(), &m_dialog->EditButton(),
                                           &m_dialog->DeleteButton(), &m_dialog->OkButton()}));

    m_dialog->OkButton().click();
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
}

TEST_F(ProcessControlDialogTest, NewAndEditAreStoredAtOnce) {
    m_fill = {"/opt/frost.sh", "-t 2", "te<0", ""};
    Ui().answers = {MsgAnswer::Yes};  // no release condition: yes, every record
    m_dialog->NewButton().click();
    ASSERT_EQ(m_opened.size(), 1u);
    EXPECT_EQ(m_opened[0], ProcessTexts{}) << "New opens an empty dialog";
    ASSERT_EQ(m_dialog->List().rowCount(), 3);
    EXPECT_EQ(Cell(2, 1), "TE<0");
    ASSERT_EQ(StoredProcesses().size(), 3u);
    EXPECT_EQ(StoredProcesses()[2], (ProcessTexts{"/opt/frost.sh", "-t 2", "TE<0", ""}));
    EXPECT_EQ(m_doc->Processes().List().At(2).NoRelease, 1);

    // Edit opens the selected process and keeps its place.
    m_dialog->List().selectRow(1);
    m_fill = {"/srv/www/upload", "--all", "TE>31", "TE<28"};
    m_dialog->EditButton().click();
    ASSERT_EQ(m_opened.size(), 2u);
    EXPECT_EQ(m_opened[1], (ProcessTexts{"/srv/www/upload", "", "TE>30", ""}));
    EXPECT_EQ(StoredProcesses()[1], m_fill);
    EXPECT_EQ(Cell(1, 4), "--all");
    EXPECT_EQ(m_dialog->List().selectedRanges().front().topRow(), 1);

    // Cancel in the dialog "Process" changes nothing.
    m_accept = false;
    m_dialog->EditButton().click();
    EXPECT_EQ(StoredProcesses().size(), 3u);
    EXPECT_EQ(StoredProcesses()[1], m_fill);
}

TEST_F(ProcessControlDialogTest, EnterAndDoubleClickEditTheSelectedProcessOnly) {
    ShowWindow(*m_dialog);
    m_accept = false;
    QTableWidget& list = m_dialog->List();
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_TRUE(m_opened.empty()) << "nothing selected";
    EXPECT_TRUE(m_dialog->isVisible()) << "Enter on the list does not close the dialog";

    list.selectRow(1);
    QTest::keyClick(&list, Qt::Key_Return);
    const QRect cell = list.visualItemRect(list.item(0, 1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(m_opened.size(), 2u);
    EXPECT_EQ(m_opened[0].program, "/srv/www/upload");
    EXPECT_EQ(m_opened[1].program, "/home/station/bin/sturmwarnung.sh");
}

TEST_F(ProcessControlDialogTest, DeleteAsksAndRenumbers) {
    m_dialog->List().selectRow(0);
    Ui().answers = {MsgAnswer::No};
    m_dialog->DeleteButton().click();
    EXPECT_EQ(Ui().Messages(), std::vector<std::string>{"Do you really want to delete?"});
    EXPECT_EQ(Ui().shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(m_dialog->List().rowCount(), 2);
    EXPECT_FALSE(m_dialog->DeleteButton().isEnabled()) << "the selection is forgotten";

    m_dialog->List().selectRow(0);
    Ui().answers = {MsgAnswer::Yes};
    m_dialog->DeleteButton().click();
    ASSERT_EQ(m_dialog->List().rowCount(), 1);
    EXPECT_EQ(Cell(0, 0), "1");
    EXPECT_EQ(Cell(0, 3), "/srv/www/upload");
    EXPECT_EQ(StoredProcesses(), (std::vector<ProcessTexts>{{"/srv/www/upload", "", "TE>30", ""}}));
    EXPECT_EQ(m_world.folder.Read("wetterprocess.ini").find("[2]"), std::string::npos);
}

// ---- menu commands ----

TEST(SetupMenu, CommandsOpenTheirDialogsForTheActiveStation) {
    TempFolder home;
    auto ui = std::make_unique<ScriptedUi>();
    CWetterApp app(home.File("demo"), std::move(ui));
    ASSERT_TRUE(app.InitInstance({"demo"}));
    CMainFrame& frame = *app.MainFrame();
    QMenu* setup = nullptr;
    for (QAction* action : frame.menuBar()->actions())
        if (action->text() == "&Setup") setup = action->menu();
    ASSERT_NE(setup, nullptr);
    // The first start's storage options, not waited for, are closed first.
    for (QDialog* dialog : frame.findChildren<CDatenSpeichernDlg*>()) dialog->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Opened as a person opens it, so that whatever runs before it is shown has run.
    // No station is connected: every command must still be there.
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QMenuBar& bar = *frame.menuBar();
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.actionGeometry(setup->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([setup] { return setup->isVisible(); }, 2000));
    for (QAction* action : setup->actions())
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    QTest::keyClick(setup, Qt::Key_Escape);

    const std::vector<std::pair<std::string, std::string>> expected{
        {"&Sensor properties...", "Orbset"},
        {"&Connection...", "Settings of weatherdata"},
        {"&Process control...", "Process control"},
        {"HTML configuration", "HTML Ausgabe konfigurieren"},
        {"HTTP upload", "HTTP upload settings"},
        {"AWEKAS Settings", "AWEKAS Settings"},
        {"&Read / write options...", "Write / Read options"},
        {"&Precipitation reset...", "Reset for precipitation"},
        {"Set &Altitude", "Altitude"},
        {"Port forwarding", "Port forwarding - settings"}};
    std::vector<std::pair<std::string, std::string>> opened;
    for (QAction* action : setup->actions()) {
        if (action->isSeparator() || !action->isEnabled()) continue;
        QString title;
        QTimer::singleShot(0, [&title] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                title = modal->windowTitle();
                static_cast<QDialog*>(modal)->reject();
            }
        });
        action->trigger();
        opened.emplace_back(action->text().toStdString(), title.toStdString());
    }
    EXPECT_EQ(opened, expected);
    for (const char* file : {"HTML.ini", "awekas.ini"})
        EXPECT_FALSE(QFile::exists(QString::fromStdString(home.File(file))))
            << file << ": Cancel writes nothing";
    // The upload switch is stored whenever its dialog closes.
    EXPECT_NE(home.Read("http_up.ini").find("[HttpUpload]\r\nAktiv=FALSE"),
              std::string::npos);
    frame.close();
}

}  // namespace
