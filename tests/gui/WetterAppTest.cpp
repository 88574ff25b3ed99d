#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "ScriptedUi.h"
#include "TempFolder.h"
#include "app/CWetterDoc.h"
#include "gui/app/CChildFrame.h"
#include "gui/app/CDlgOutput.h"
#include "gui/app/CMainFrame.h"
#include "gui/app/CWetterApp.h"
#include "gui/storage/CDatenSpeichernDlg.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/IniProfile.h"

namespace {

QAction* FindAction(const QWidget& window, const QString& text) {
    for (QAction* action : window.findChildren<QAction*>())
        if (action->text() == text) return action;
    return nullptr;
}

QPushButton* FindButton(const QWidget& window, const QString& text) {
    for (QPushButton* button : window.findChildren<QPushButton*>())
        if (button->text() == text) return button;
    return nullptr;
}

// The application on an empty station home, with a scripted user.
class WetterAppTest : public ::testing::Test {
protected:
    WetterAppTest() {
        auto ui = std::make_unique<ScriptedUi>();
        m_ui = ui.get();
        m_app = std::make_unique<CWetterApp>(m_home.File("demo"), std::move(ui));
    }

    // An empty home has no data file yet: each new station opens its storage
    // options for a person to set it up, without waiting for them.
    void ExpectFirstStartHint() {
        EXPECT_TRUE(m_ui->shown.empty());
        const auto dialogs = m_app->MainFrame()->findChildren<CDatenSpeichernDlg*>();
        ASSERT_EQ(dialogs.size(), 1);
        EXPECT_TRUE(dialogs.front()->isVisible());
        dialogs.front()->reject();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    CMainFrame& Start(const QStringList& arguments = {"demo"}) {
        EXPECT_TRUE(m_app->InitInstance(arguments));
        ExpectFirstStartHint();
        return *m_app->MainFrame();
    }

    TempFolder m_home;
    ScriptedUi* m_ui = nullptr;
    std::unique_ptr<CWetterApp> m_app;
};

TEST_F(WetterAppTest, StartsWithOneStationWhoseLastFrameStaysUntilTheApplicationCloses) {
    CMainFrame& frame = Start({"demo", "-gps", "x-!pr"});

    EXPECT_EQ(m_app->Process().commandLine.clockMode, ClockMode::kStationSetsPc);
    EXPECT_TRUE(m_app->Process().commandLine.noResetCommands);
    EXPECT_EQ(QCoreApplication::organizationName(), "Norvika GmbH");
    EXPECT_EQ(QCoreApplication::applicationName(), "demo");
    EXPECT_NE(m_home.Read("demostation.ini").find("[Speicherintervall]"), std::string::npos);
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(frame.windowTitle(), "demo - Norvika Weatherstation");
    ASSERT_EQ(frame.Documents().size(), 1u);
    ASSERT_EQ(frame.Frames().size(), 1);
    CWetterDoc& first = *frame.Documents().front();
    EXPECT_EQ(first.CountViews(), 1);

    EXPECT_FALSE(frame.Frames().front()->close()) << "a station's last frame closed by itself";
    EXPECT_EQ(frame.Frames().size(), 1);

    // A second frame of the same station may close, and its view leaves the document.
    CChildFrame& second = frame.NewFrame(first);
    EXPECT_EQ(first.CountViews(), 2);
    EXPECT_TRUE(second.close());
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.CountViews() == 1; }, 2000));

    QAction* newDocument = FindAction(frame, "&New");
    ASSERT_NE(newDocument, nullptr);
    EXPECT_EQ(newDocument->shortcut(), QKeySequence("Ctrl+N"));
    newDocument->trigger();
    ExpectFirstStartHint();
    ASSERT_EQ(frame.Documents().size(), 2u);
    EXPECT_EQ(frame.Documents().back()->CountViews(), 1);
    EXPECT_EQ(frame.Frames().size(), 2);

    EXPECT_TRUE(frame.close());
    EXPECT_FALSE(frame.isVisible());
    EXPECT_TRUE(frame.Documents().empty());
    EXPECT_TRUE(frame.Frames().isEmpty());
    EXPECT_TRUE(m_ui->shown.empty()) << "unexpected box: " << m_ui->shown.front().text;
}

struct QuitCase {
    const char* name;
    const char* abbruch;  // "Display"/"Abbruch", nullptr for a file without it
    MsgAnswer answer;
    bool asked;
    bool closes;
};

std::ostream& operator<<(std::ostream& out, const QuitCase& c) { return out << c.name; }

class QuitQuestion : public WetterAppTest, public ::testing::WithParamInterface<QuitCase> {};

TEST_P(QuitQuestion, IsAskedOnlyWhenConfiguredAndCancelKeepsTheProgramRunning) {
    const QuitCase& c = GetParam();
    CMainFrame& frame = Start();
    if (c.abbruch != nullptr) {
        ASSERT_TRUE(IniProfile().WriteString(m_home.File("demostation.ini"), "Display", "Abbruch",
                                             c.abbruch));
    }
    m_ui->answers.push_back(c.answer);

    EXPECT_EQ(frame.close(), c.closes);

    ASSERT_EQ(m_ui->shown.size(), c.asked ? 1u : 0u);
    if (c.asked) {
        EXPECT_EQ(m_ui->shown.front().text, "Do you really want to quit?");
        EXPECT_EQ(m_ui->shown.front().buttons, MsgButtons::OkCancel);
    }
    EXPECT_EQ(frame.isVisible(), !c.closes);
    EXPECT_EQ(frame.Documents().size(), c.closes ? 0u : 1u);
    EXPECT_EQ(frame.Frames().size(), c.closes ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    WetterAppTest, QuitQuestion,
    ::testing::Values(QuitCase{"AbbruchSetCancel", "1", MsgAnswer::Cancel, true, false},
                      QuitCase{"AbbruchSetOk", "1", MsgAnswer::Ok, true, true},
                      QuitCase{"AbbruchAnyNonZero", "7", MsgAnswer::Cancel, true, false},
                      QuitCase{"AbbruchZero", "0", MsgAnswer::Cancel, false, true},
                      QuitCase{"AbbruchMissing", nullptr, MsgAnswer::Cancel, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WetterAppTest, OutputWindowShowsColouredLinesAsOfItsLastFill) {
    CMainFrame& frame = Start();
    OutputList::Process().Clear();
    OutputWrite("Timer 3000", kColourCommand);
    OutputWrite("W\xE4rme", kColourError);
    QAction* showOutput = FindAction(frame, "Show output");
    ASSERT_NE(showOutput, nullptr);

    showOutput->trigger();
    ASSERT_TRUE(frame.IsOutputShown());
    CDlgOutput* window = frame.OutputWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Output");
    EXPECT_TRUE(showOutput->isChecked());
    QListWidget& list = window->List();
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.item(0)->text(), "Timer 3000");
    EXPECT_EQ(list.item(0)->foreground().color(), QColor(255, 128, 14));
    EXPECT_EQ(list.item(1)->text(), QString("W") + QChar(0x00E4) + "rme");
    EXPECT_EQ(list.item(1)->foreground().color(), QColor(255, 0, 0));

    OutputWrite("Forwarding starts", kColourAction);
    EXPECT_EQ(list.count(), 2) << "an open window refreshed without Update";
    QPushButton* update = FindButton(*window, "Update");
    ASSERT_NE(update, nullptr);
    update->click();
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.item(2)->foreground().color(), QColor(0, 0, 255));

    QPushButton* copy = FindButton(*window, "Copy to clipboard");
    ASSERT_NE(copy, nullptr);
    copy->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString("Timer 3000\r\nW") + QChar(0x00E4) + "rme\r\nForwarding starts\r\n");

    // OK hides the window; the menu item follows, and the next toggle shows it anew.
    window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_FALSE(frame.IsOutputShown());
    EXPECT_FALSE(showOutput->isChecked());
    EXPECT_FALSE(window->isVisible());

    showOutput->trigger();
    ASSERT_TRUE(frame.IsOutputShown());
    EXPECT_TRUE(showOutput->isChecked());
    EXPECT_TRUE(frame.OutputWindow()->isVisible());
    EXPECT_EQ(frame.OutputWindow()->List().count(), 3);

    showOutput->trigger();
    EXPECT_FALSE(frame.IsOutputShown());
    EXPECT_FALSE(showOutput->isChecked());
    EXPECT_EQ(frame.OutputWindow(), nullptr);
}

TEST(WetterProgram, StopsWithExitCodeZeroOnSigterm) {
    TempFolder home;
    const QString stationFile = QString::fromStdString(home.Path()) + "/" +
                                QFileInfo(WETTER_EXECUTABLE).completeBaseName() + "station.ini";
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("WETTER_HOME", QString::fromStdString(home.Path()));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(WETTER_EXECUTABLE, {});
    ASSERT_TRUE(program.waitForStarted(5000)) << program.errorString().toStdString();

    const bool started = QTest::qWaitFor([&] { return QFile::exists(stationFile); }, 10000);
    if (!started) program.kill();
    ASSERT_TRUE(started) << "no station file after 10 s";

    program.terminate();  // SIGTERM
    const bool finished = program.waitForFinished(5000);
    if (!finished) program.kill();
    ASSERT_TRUE(finished) << "still running 5 s after SIGTERM";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}

}  // namespace
