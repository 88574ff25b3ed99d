// The service mode's start: "--headless" is taken out of the station's own
// switches, and a station that cannot run ends the program with its reason,
// on standard error and in the error log, without opening a window.
#include <gtest/gtest.h>

#include <QApplication>
#include <sstream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "gui/app/HeadlessApp.h"
#include "model/CommandLine.h"

namespace {

std::vector<char*> Argv(std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    return argv;
}

TEST(HeadlessApp, StationSwitchesAfterTheServiceOptionKeepTheirMeaning) {
    // The clock mode is the first switch: "--headless" before it must not take its place.
    std::vector<std::string> arguments = {"wetter", "--headless", "-gps", "x-!pr"};
    std::vector<char*> argv = Argv(arguments);
    const int argc = static_cast<int>(arguments.size());
    ASSERT_TRUE(HeadlessApp::Requested(argc, argv.data()));
    const std::vector<std::string> station = HeadlessApp::StationArguments(argc, argv.data());
    EXPECT_EQ(station, (std::vector<std::string>{"-gps", "x-!pr"}));
    EXPECT_EQ(ParseCommandLine(station),
              (CommandLineOptions{ClockMode::kStationSetsPc, false, true}));

    std::vector<std::string> desktop = {"wetter", "-NO", "--headless-not"};
    std::vector<char*> desktopArgv = Argv(desktop);
    EXPECT_FALSE(HeadlessApp::Requested(static_cast<int>(desktop.size()), desktopArgv.data()));
}

TEST(HeadlessApp, FirstStartEndsWithItsReasonAndOpensNoWindow) {
    TempFolder home;
    std::ostringstream messages;
    int code = -1;
    {
        HeadlessApp app(ProgramPaths(home.File("wetter")), messages);
        code = app.Run({});
    }
    EXPECT_EQ(code, HeadlessApp::kExitNothingToAcquire);
    EXPECT_NE(messages.str().find("wetter: No data file was found in the data folder "),
              std::string::npos)
        << messages.str();
    EXPECT_NE(home.Read("ErrLog.txt").find("No data file was found in the data folder"),
              std::string::npos);
    EXPECT_NE(home.Read("wetterstation.ini").find("[Speicherintervall]"), std::string::npos)
        << "the default settings to start from";
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

}  // namespace
