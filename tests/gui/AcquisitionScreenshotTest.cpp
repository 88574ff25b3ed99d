// The main window with the output window while a station is acquired, saved
// as a picture in the build folder for people to look at.
#ifdef WETTER_HAVE_SIMULATOR

#include <gtest/gtest.h>

#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QSettings>
#include <QTest>

#include "StationHome.h"
#include "StationOnTcp.h"
#include "app/CWetterDoc.h"
#include "gui/app/CDlgOutput.h"
#include "gui/app/CMainFrame.h"
#include "gui/app/CWetterApp.h"
#include "sim/SeedData.h"
#include "sim/Station.h"

namespace {

TEST(AcquisitionScreenshot, MainWindowAndOutputWhileRecordsArrive) {
    // No diagram layout of another test: this picture shows acquisition.
    QSettings("Norvika GmbH", "wetter").clear();
    StationHome home;
    orbsim::StationOptions options;
    options.cycleSeconds = 0.3;
    options.historyHours = 0.05;
    options.sensors = {{"TE", 1}, {"FE", 0}};
    std::unique_ptr<orbsim::Station> station = StartStationOnTcp(home, options);
    ASSERT_NE(station, nullptr);

    auto ui = std::make_unique<ScriptedUi>();
    ScriptedUi& shown = *ui;
    CWetterApp app(home.folder.File("wetter"), std::move(ui));
    ASSERT_TRUE(app.InitInstance({"wetter"}));  // connects and initialises before it returns
    CMainFrame& frame = *app.MainFrame();
    ASSERT_EQ(frame.Documents().size(), 1u);
    CWetterDoc& document = *frame.Documents().front();
    EXPECT_TRUE(document.AcquisitionRunning());

    const std::time_t initialised = document.LastStoredTime();
    EXPECT_TRUE(QTest::qWaitFor([&] { return document.LastStoredTime() >= initialised + 4; }, 10000))
        << "live records are stored";
    frame.ToggleOutput();
    CDlgOutput& output = *frame.OutputWindow();
    output.Fill();
    EXPECT_GT(output.List().count(), 5);
    QTest::qWait(200);

    const QString folder = WETTER_SCREENSHOT_DIR;
    QDir().mkpath(folder);
    EXPECT_TRUE(frame.grab().save(folder + "/main-window.png"));
    EXPECT_TRUE(output.grab().save(folder + "/output-window.png"));
    EXPECT_TRUE(shown.shown.empty()) << shown.shown.front().text;
    frame.close();
}

}  // namespace

#endif
