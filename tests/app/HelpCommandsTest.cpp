// The help file and the remote-support program lie beside the executable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingLauncher.h"
#include "StationHome.h"
#include "app/HelpCommands.h"
#include "platform/Launcher.h"
#include "platform/PosixLauncher.h"

namespace {

TEST(HelpCommands, StartWhatLiesBesideTheExecutableOrSaySo) {
    ManualWorld world(0);
    RecordingLauncher launcher;
    OpenHelp(world.context, launcher);
    StartRemoteMaintenance(world.context, launcher);
    EXPECT_EQ(launcher.calls,
              (std::vector<std::string>{"open " + world.folder.File("wetter.pdf"),
                                        "start " + world.folder.File("TeamViewerQS_de.exe")}));
    EXPECT_TRUE(world.ui.shown.empty());

    launcher.works = false;
    OpenHelp(world.context, launcher);
    StartRemoteMaintenance(world.context, launcher);
    ASSERT_EQ(world.ui.shown.size(), 2u);
    EXPECT_EQ(world.ui.shown[0].text.substr(0, 35), "An error occured opening the help!\n");
    EXPECT_EQ(world.ui.shown[1].text, "Remote maintenance couldn't be started!");
}

TEST(PosixLauncher, MissingFilesAreFailuresWithoutStartingAnything) {
    TempFolder folder;
    PosixLauncher launcher;
    EXPECT_FALSE(launcher.OpenFile(folder.File("wetter.pdf")));
    EXPECT_FALSE(launcher.StartProgram(folder.File("TeamViewerQS_de.exe")));
    EXPECT_TRUE(launcher.StartProgram("/bin/true"));
}

}  // namespace
