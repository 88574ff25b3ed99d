// The terminal dock window and its command settings, driven offscreen like a
// person would; then the terminal against the station simulator.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>

#include "DialogChecks.h"
#include "StationHome.h"
#include "StationOnTcp.h"
#include "app/MainSwitchboard.h"
#include "gui/comm/CDlgBefehlSetts.h"
#include "gui/comm/CDlgTerminal.h"
#include "gui/comm/CMyTermListBox.h"

#ifdef WETTER_HAVE_SIMULATOR
#include <QFile>
#include <QSettings>

#include "app/CWetterDoc.h"
#include "gui/app/CMainFrame.h"
#include "gui/app/CWetterApp.h"
#include "sim/SeedData.h"
#include "sim/Station.h"
#endif

namespace {

constexpr const char* kCommands =
    "[UserDef1]\r\nCommand=?D\r\nSave=TRUE\r\nSavePath=logger.txt\r\nSekTimeout=20\r\n"
    "[UserDef2]\r\nCommand=!R5 & !P\r\nSave=FALSE\r\nSavePath=\r\nSekTimeout=0\r\n";

// A main window with the terminal docked at its bottom, on seams the test moves.
class TerminalWindowTest : public ::testing::Test, protected ManualWorld {
protected:
    TerminalWindowTest() : ManualWorld(Utc(2024, 3, 10, 12, 0)) {
        folder.Write("wetterTermBefehl.ini", kCommands);
        m_host.resize(760, 420);
        m_host.setCentralWidget(new QWidget);
        m_terminal = new CDlgTerminal(context, m_switchboard, &m_host);
        m_host.addDockWidget(Qt::BottomDockWidgetArea, m_terminal);
    }

    void ShowHost() {
        m_host.show();
        m_host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_host));
        QApplication::processEvents();
    }
    void Receive(const std::string& line) { m_switchboard.OnStationLine(nullptr, line); }
    std::string Queued() {
        return process.PendingCommandEvent.TestAndClear() ? process.PendingCommandText.Text()
                                                          : "<nothing>";
    }

    MainSwitchboard m_switchboard{context};
    QMainWindow m_host;
    CDlgTerminal* m_terminal;
};

TEST_F(TerminalWindowTest, ShowsLinesMenusAndSendsWhatIsTyped) {
    CDlgTerminal& terminal = *m_terminal;
    EXPECT_EQ(terminal.windowTitle(), "Terminal");
    EXPECT_EQ(terminal.CopyAllAction().text(), "Copy all\tStrg+A");
    EXPECT_EQ(terminal.UserAction(1).text(), "?D");
    EXPECT_TRUE(terminal.UserAction(1).isEnabled());
    EXPECT_EQ(terminal.UserAction(2).text(), "!R5 && !P")
        << "an \"&\" of a command is shown as it is";
    for (int n = 3; n <= 8; ++n) {
        EXPECT_EQ(terminal.UserAction(n).text(), "nicht definiert") << n;
        EXPECT_FALSE(terminal.UserAction(n).isEnabled()) << n;
    }
    EXPECT_EQ(terminal.SettingsAction().text(), "Settings");
    EXPECT_FALSE(terminal.StopButton().isEnabled());

    ShowHost();
    const std::time_t now = clock.Now();
    // The storage marker 31 ends the first line of each interval.
    for (int i = 0; i < 12; ++i)
        Receive(Stamp(now + 10 * i) + "TE12.5,FE61," + (i % 6 == 0 ? "\x1F" : "") + "\r\n");
    Receive("<!P>\r\n");
    CMyTermListBox& list = terminal.List();
    ASSERT_EQ(list.count(), 13);
    EXPECT_EQ(list.item(12)->text(), "<!P>{13}{10}");
    EXPECT_EQ(list.currentRow(), 12) << "the newest line is selected";

    QTest::keyClicks(&terminal.EntryField(), "?T");
    QTest::keyClick(&terminal.EntryField(), Qt::Key_Return);
    EXPECT_EQ(Queued(), "?T\r\n");
    EXPECT_EQ(terminal.EntryField().selectedText(), "?T") << "kept for sending again";
    terminal.SendButton().click();
    EXPECT_EQ(Queued(), "?T\r\n");
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(terminal.grab().save(Screenshot("terminal.png")));

    list.setFocus();
    QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.endsWith("TE12.5,FE61,{13}{10}\r\n<!P>{13}{10}\r\n"))
        << copied.toStdString();
    EXPECT_EQ(copied.count("\r\n"), 13);
}

TEST_F(TerminalWindowTest, CopyAllWorksWhileTheFocusIsInTheEntryField) {
    ShowHost();
    Receive("<?T>\r\n");
    Receive("12:00:00,10.03.24,TE12.5,\r\n");
    QLineEdit& field = m_terminal->EntryField();
    field.setFocus();
    ASSERT_EQ(QApplication::focusWidget(), &field);
    QGuiApplication::clipboard()->clear();

    // Straight after sending the field's text is selected; before it, it is being typed.
    for (const bool sent : {false, true}) {
        field.clear();
        QTest::keyClicks(&field, "?D");
        if (sent) QTest::keyClick(&field, Qt::Key_Return);
        QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
                  "<?T>{13}{10}\r\n12:00:00,10.03.24,TE12.5,{13}{10}\r\n")
            << (sent ? "after Send" : "while typing");
        EXPECT_EQ(field.text(), "?D") << "the field keeps its text";
        QGuiApplication::clipboard()->clear();
    }
}

TEST_F(TerminalWindowTest, AnOverlongCommandIsRefusedAndStaysInTheField) {
    const QString overlong(10000, QLatin1Char('x'));
    m_terminal->EntryField().setText(overlong);
    m_terminal->SendButton().click();
    EXPECT_EQ(Queued(), "<nothing>");
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].find("at most 255 characters"), std::string::npos);
    EXPECT_EQ(m_terminal->EntryField().text(), overlong) << "nothing of it is lost";
}

TEST_F(TerminalWindowTest, FollowsNewLinesUntilScrolledAwayAndKeeps500) {
    ShowHost();
    CMyTermListBox& list = m_terminal->List();
    for (int i = 1; i <= 100; ++i) Receive("line " + std::to_string(i) + "\r\n");
    QScrollBar& bar = *list.verticalScrollBar();
    ASSERT_GT(bar.maximum(), 0);
    EXPECT_EQ(bar.value(), bar.maximum());

    bar.setValue(10);  // the person looks at older lines
    Receive("line 101\r\n");
    EXPECT_EQ(bar.value(), 10) << "the view stays where the person put it";
    EXPECT_NE(list.currentRow(), 100);

    // A person scrolls once the list has laid out the new line.
    QApplication::processEvents();
    bar.setValue(bar.maximum());
    Receive("line 102\r\n");
    EXPECT_EQ(bar.value(), bar.maximum());
    EXPECT_EQ(list.currentRow(), 101);

    for (int i = 103; i <= 501; ++i) Receive("line " + std::to_string(i) + "\r\n");
    ASSERT_EQ(list.count(), 500);
    EXPECT_EQ(list.item(0)->text(), "line 2{13}{10}");
    EXPECT_EQ(list.item(499)->text(), "line 501{13}{10}");
}

TEST_F(TerminalWindowTest, AUserCommandRecordsUntilStopped) {
    m_terminal->UserAction(1).trigger();
    EXPECT_EQ(Queued(), "?D\r\n");
    EXPECT_TRUE(m_terminal->StopButton().isEnabled());
    Receive("<?D>\r\n");
    m_terminal->StopButton().click();
    EXPECT_FALSE(m_terminal->StopButton().isEnabled());
    Receive("later\r\n");
    EXPECT_EQ(folder.Read("logger.txt"), "<?D>\r\n");

    m_terminal->UserAction(1).trigger();
    clock.Advance(20000);  // timer 789 ends it
    EXPECT_FALSE(m_terminal->StopButton().isEnabled());
}

// ---- Command settings ----

TEST_F(TerminalWindowTest, CommandSettingsShowTheFileAndSaveEveryField) {
    CDlgBefehlSetts dialog(profile, folder.File("wetterTermBefehl.ini"), ui, "wetter");
    EXPECT_EQ(dialog.windowTitle(), "Command settings");
    EXPECT_EQ(dialog.CommandField(0).text(), "?D");
    EXPECT_TRUE(dialog.SaveBox(0).isChecked());
    EXPECT_EQ(dialog.SaveBox(0).text(), "Save response in file");
    EXPECT_EQ(dialog.FileField(0).text(), "logger.txt");
    EXPECT_EQ(dialog.TimeoutField(0).value(), 20);
    EXPECT_EQ(dialog.CommandField(1).text(), "!R5 & !P");
    EXPECT_FALSE(dialog.FileField(1).isEnabled()) << "only while the box is ticked";
    EXPECT_FALSE(dialog.TimeoutField(1).isEnabled());

    ShowWindow(dialog);
    ExpectNothingCut(dialog);
    EXPECT_TRUE(dialog.grab().save(Screenshot("command-settings.png")));
    EXPECT_EQ(QApplication::focusWidget(), &dialog.CommandField(0));
    // A spin box's own line edit is where its focus goes, not a stop of its own.
    std::vector<const QWidget*> chain = TabChain(dialog.CommandField(0));
    std::erase_if(chain,
                  [](const QWidget* w) { return qobject_cast<QSpinBox*>(w->parentWidget()); });
    ASSERT_GE(chain.size(), 6u);
    EXPECT_EQ(chain[1], &dialog.SaveBox(0));
    EXPECT_EQ(chain[2], &dialog.FileField(0));
    EXPECT_EQ(chain[3], &dialog.TimeoutField(0));
    EXPECT_EQ(chain[4], &dialog.CommandField(1)) << "a row, then the next";
    EXPECT_EQ(chain[5], &dialog.SaveBox(1)) << "disabled fields are passed over";

    dialog.SaveBox(1).setChecked(true);
    EXPECT_TRUE(dialog.FileField(1).isEnabled());
    dialog.FileField(1).setText("reset.txt");
    dialog.TimeoutField(1).setValue(3);
    dialog.CommandField(2).setText("?T");
    dialog.findChild<QDialogButtonBox*>()->buttons().front()->click();  // "Save"
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(ui.shown.empty());
    const std::string file = folder.Read("wetterTermBefehl.ini");
    EXPECT_NE(file.find("[UserDef2]\r\nCommand=!R5 & !P\r\nSave=TRUE\r\nSavePath=reset.txt\r\n"
                        "SekTimeout=3\r\n[UserDef3]\r\nCommand=?T\r\nSave=FALSE\r\nSavePath=\r\n"
                        "SekTimeout=0\r\n[UserDef4]"),
              std::string::npos)
        << file;
}

TEST_F(TerminalWindowTest, CommandSettingsRefuseFieldsThatCannotBeStored) {
    CDlgBefehlSetts dialog(profile, folder.File("wetterTermBefehl.ini"), ui, "wetter");
    dialog.CommandField(4).setText(QString(10000, QLatin1Char('c')));
    dialog.CommandField(5).setText("!P");
    dialog.findChild<QDialogButtonBox*>()->buttons().front()->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].find("User 5, command: at most 255 characters"), std::string::npos)
        << ui.Messages()[0];
    EXPECT_EQ(folder.Read("wetterTermBefehl.ini"), kCommands) << "nothing written, not even row 6";

    dialog.CommandField(4).setText("?D");
    dialog.reject();
    EXPECT_EQ(folder.Read("wetterTermBefehl.ini"), kCommands) << "Cancel writes nothing";
}

TEST_F(TerminalWindowTest, SettingsFromTheTerminalMenuRenameItsCommands) {
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CDlgBefehlSetts*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->CommandField(2).setText("?T");
        dialog->CommandField(0).clear();
        dialog->accept();
    });
    m_terminal->SettingsAction().trigger();
    EXPECT_EQ(m_terminal->UserAction(3).text(), "?T");
    EXPECT_TRUE(m_terminal->UserAction(3).isEnabled());
    EXPECT_EQ(m_terminal->UserAction(1).text(), "nicht definiert");
    EXPECT_FALSE(m_terminal->UserAction(1).isEnabled());
}

}  // namespace

// ---- against the station simulator ----
#ifdef WETTER_HAVE_SIMULATOR

namespace {

QAction* FindAction(const QWidget& window, const QString& text) {
    for (QAction* action : window.findChildren<QAction*>())
        if (action->text() == text) return action;
    return nullptr;
}

bool ListHas(const CMyTermListBox& list, const QString& text) {
    return !list.findItems(text, Qt::MatchExactly).isEmpty();
}

TEST(TerminalAgainstStation, SendsACommandSeesItsEchoAndRecordsTheResponse) {
    QSettings("Norvika GmbH", "wetter").clear();
    StationHome home;
    orbsim::StationOptions options;
    options.cycleSeconds = 0.25;
    options.historyHours = 0.02;
    options.sensors = {{"TE", 1}, {"FE", 0}};
    std::unique_ptr<orbsim::Station> station = StartStationOnTcp(home, options);
    ASSERT_NE(station, nullptr);
    home.folder.Write("wetterTermBefehl.ini",
                      "[UserDef1]\nCommand=?V\nSave=TRUE\nSavePath=response.txt\nSekTimeout=2\n");

    auto ui = std::make_unique<ScriptedUi>();
    ScriptedUi& shown = *ui;
    CWetterApp app(home.folder.File("wetter"), std::move(ui));
    ASSERT_TRUE(app.InitInstance({"wetter"}));
    CMainFrame& frame = *app.MainFrame();
    ASSERT_EQ(frame.Documents().size(), 1u);
    ASSERT_TRUE(frame.Documents().front()->AcquisitionRunning())
        << (shown.shown.empty() ? "" : shown.shown.front().text);

    QAction* open = FindAction(frame, "Terminal");
    ASSERT_NE(open, nullptr);
    open->trigger();
    auto* terminal = frame.findChild<CDlgTerminal*>();
    ASSERT_NE(terminal, nullptr);
    EXPECT_TRUE(terminal->isVisible());
    open->trigger();
    EXPECT_EQ(frame.findChildren<CDlgTerminal*>().size(), 1) << "one terminal, shown again";
    CMyTermListBox& list = terminal->List();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.count() >= 2; }, 10000))
        << "station lines arrive";

    // Typed: the station's echo comes back in the list.
    terminal->EntryField().setText("?TERM");
    terminal->SendButton().click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ListHas(list, "<?TERM>{13}{10}"); }, 10000));
    EXPECT_TRUE(station->WaitForCommand("?TERM", std::chrono::milliseconds(0)));
    frame.resize(1000, 720);
    QTest::qWait(300);
    EXPECT_TRUE(frame.grab().save(Screenshot("main-window-terminal.png")));

    // User 1 records what comes for two seconds.
    terminal->UserAction(1).trigger();
    EXPECT_TRUE(terminal->StopButton().isEnabled());
    QTest::qWait(1000);
    EXPECT_TRUE(terminal->Core().Recording()) << "still recording after one second";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !terminal->StopButton().isEnabled(); }, 10000));
    QFile file(QString::fromStdString(home.folder.File("response.txt")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray recorded = file.readAll();
    EXPECT_TRUE(recorded.contains("<?V>\r\n")) << recorded.toStdString();
    EXPECT_GE(recorded.count(",\r\n"), 3)
        << "record lines of two seconds: " << recorded.toStdString();
    EXPECT_TRUE(recorded.endsWith("\r\n"));

    const int before = list.count();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.count() > before + 1; }, 10000));
    file.seek(0);
    EXPECT_EQ(file.readAll(), recorded) << "nothing is written after the recording ended";
    EXPECT_TRUE(shown.shown.empty()) << shown.shown.front().text;
    frame.close();
}

}  // namespace

#endif
