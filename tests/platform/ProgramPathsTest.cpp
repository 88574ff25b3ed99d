#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "TempFolder.h"
#include "platform/ProgramPaths.h"

namespace {

struct PathRow {
    const char* name;
    const char* programPath;
    const char* programName;
    const char* stationIni;  // Named("station.ini")
    const char* errLog;      // InFolder("ErrLog.txt")
};

const PathRow kPathRows[] = {
    {"Plain", "/opt/ws/wetter", "wetter", "/opt/ws/wetterstation.ini", "/opt/ws/ErrLog.txt"},
    {"ExtensionCut", "/opt/ws/wetter.bin", "wetter", "/opt/ws/wetterstation.ini",
     "/opt/ws/ErrLog.txt"},
    {"DotInFolderIsNoExtension", "/opt/ws.v2/wetter", "wetter", "/opt/ws.v2/wetterstation.ini",
     "/opt/ws.v2/ErrLog.txt"},
    {"OnlyLastExtensionCut", "/opt/ws.v2/wetter.x.bin", "wetter.x",
     "/opt/ws.v2/wetter.xstation.ini", "/opt/ws.v2/ErrLog.txt"},
    {"InRootFolder", "/wetter", "wetter", "/wetterstation.ini", "/ErrLog.txt"},
    {"WithoutFolder", "wetter", "wetter", "wetterstation.ini", "./ErrLog.txt"},
};

class ProgramPathsTest : public ::testing::TestWithParam<PathRow> {};

TEST_P(ProgramPathsTest, NamesFilesAfterTheExecutable) {
    const PathRow& row = GetParam();
    const ProgramPaths paths(row.programPath);
    EXPECT_EQ(paths.ProgramName(), row.programName);
    EXPECT_EQ(paths.Named("station.ini"), row.stationIni);
    EXPECT_EQ(paths.InFolder("ErrLog.txt"), row.errLog);
}

INSTANTIATE_TEST_SUITE_P(Rows, ProgramPathsTest, ::testing::ValuesIn(kPathRows),
                         [](const auto& info) { return std::string(info.param.name); });

// A folder with the program "bin/wetter" and the link "bin/garten" to it.
class InvokedPath : public ::testing::Test {
protected:
    InvokedPath() {
        std::filesystem::create_directories(folder.File("bin"));
        folder.Write("bin/wetter", "#!/bin/sh\n");
        std::filesystem::permissions(folder.File("bin/wetter"), std::filesystem::perms::owner_all);
        std::filesystem::create_symlink("wetter", folder.File("bin/garten"));
        folder.Write("bin/notes", "not runnable");
    }
    std::optional<std::string> Invoked(const std::string& argv0, const std::string& searchPath) {
        return ProgramPaths::InvokedPath(argv0, folder.Path(), searchPath);
    }
    TempFolder folder;
};

TEST_F(InvokedPath, IsTheNameTheProgramWasStartedUnderWithLinksLeftAsTheyAre) {
    const std::string bin = folder.File("bin");
    struct Row {
        std::string argv0;
        std::string searchPath;
        std::optional<std::string> expected;
    };
    const Row rows[] = {
        {bin + "/garten", "", bin + "/garten"},
        {"bin/garten", "/usr/bin", bin + "/garten"},
        {"./bin/../bin/garten", "", bin + "/garten"},
        {"garten", "/nowhere:" + bin, bin + "/garten"},
        {"garten", "/nowhere:bin", bin + "/garten"},  // a relative entry counts from here
        {"wetter", bin, bin + "/wetter"},
        {"garten", "/nowhere", std::nullopt},
        {"notes", bin, std::nullopt},
        {"bin/missing", bin, std::nullopt},
        {"", bin, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.argv0 + " with PATH " + row.searchPath);
        EXPECT_EQ(Invoked(row.argv0, row.searchPath), row.expected);
    }
}

TEST_F(InvokedPath, NamesTheSettingsFilesOfASecondStation) {
    const char* old = std::getenv("WETTER_HOME");
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    ::unsetenv("WETTER_HOME");
    const ProgramPaths garden = ProgramPaths::ForThisProcess(folder.File("bin/garten"));
    EXPECT_EQ(garden.Named("station.ini"), folder.File("bin/gartenstation.ini"));
    EXPECT_EQ(garden.DefaultDataFolder(), folder.File("bin/Daten"));

    ::setenv("WETTER_HOME", "/srv/station.1", 1);
    EXPECT_EQ(ProgramPaths::ForThisProcess(folder.File("bin/garten")).Named("station.ini"),
              "/srv/station.1/gartenstation.ini")
        << "the home moves the folder, the name stays";

    if (saved) {
        ::setenv("WETTER_HOME", saved->c_str(), 1);
    } else {
        ::unsetenv("WETTER_HOME");
    }
}

TEST(ProgramPathsHome, WetterHomeReplacesTheExecutablesFolder) {
    const char* old = std::getenv("WETTER_HOME");
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("WETTER_HOME", "/srv/station.1//", 1);

    const ProgramPaths paths = ProgramPaths::ForThisProcess();
    EXPECT_EQ(paths.Folder(), "/srv/station.1");
    EXPECT_EQ(
        paths.ProgramPath(),
        "/srv/station.1/" + std::filesystem::read_symlink("/proc/self/exe").filename().string());
    EXPECT_EQ(paths.DefaultDataFolder(), "/srv/station.1/Daten");

    if (saved) {
        ::setenv("WETTER_HOME", saved->c_str(), 1);
    } else {
        ::unsetenv("WETTER_HOME");
    }
}

}  // namespace
