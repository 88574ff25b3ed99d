// Help opens the manual; remote maintenance starts what the station file names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingLauncher.h"
#include "StationHome.h"
#include "app/HelpCommands.h"
#include "platform/Launcher.h"
#include "platform/PosixLauncher.h"

namespace {

TEST(HelpCommands, HelpOpensAPdfBesideTheProgramOrElseTheManualPage) {
    ManualWorld world(0);
    RecordingLauncher launcher;
    OpenHelp(world.context, launcher);
    world.folder.Write("wetter.pdf", "%PDF-1.4\n");
    OpenHelp(world.context, launcher);
    EXPECT_EQ(launcher.calls,
              (std::vector<std::string>{"launch xdg-open|man:wetter",
                                        "open " + world.folder.File("wetter.pdf")}));
    EXPECT_TRUE(world.ui.shown.empty());

    launcher.works = false;
    OpenHelp(world.context, launcher);
    ASSERT_EQ(world.ui.shown.size(), 1u);
    EXPECT_EQ(world.ui.shown[0].text.substr(0, 35), "An error occured opening the help!\n");
    // The fixed file name of the text is not the one looked for: the box says which is.
    EXPECT_NE(world.ui.shown[0].text.find(world.folder.File("wetter.pdf")), std::string::npos)
        << world.ui.shown[0].text;
    EXPECT_NE(world.ui.shown[0].text.find("man:wetter"), std::string::npos);
}

TEST(HelpCommands, RemoteMaintenanceStartsTheStationsCommandOrSaysItIsNotAvailable) {
    ManualWorld world(0);
    RecordingLauncher launcher;
    StartRemoteMaintenance(world.context, launcher);
    EXPECT_TRUE(launcher.calls.empty());
    ASSERT_EQ(world.ui.shown.size(), 1u);
    EXPECT_EQ(
        world.ui.shown[0].text.rfind("Remote maintenance is not available on this system.", 0), 0u)
        << world.ui.shown[0].text;

    world.WriteStation("[Fernwartung]\nBefehl= remote-help  --session  station \n");
    world.ui.shown.clear();
    StartRemoteMaintenance(world.context, launcher);
    EXPECT_EQ(launcher.calls, std::vector<std::string>{"launch remote-help|--session|station"});
    EXPECT_TRUE(world.ui.shown.empty());

    launcher.works = false;
    StartRemoteMaintenance(world.context, launcher);
    EXPECT_EQ(world.ui.Messages(),
              std::vector<std::string>{"Remote maintenance couldn't be started!"});
}

TEST(PosixLauncher, MissingFilesAreFailuresWithoutStartingAnything) {
    TempFolder folder;
    PosixLauncher launcher;
    EXPECT_FALSE(launcher.OpenFile(folder.File("wetter.pdf")));
    EXPECT_FALSE(launcher.StartProgram(folder.File("TeamViewerQS_de.exe")));
    EXPECT_TRUE(launcher.StartProgram("/bin/true"));
}

}  // namespace
