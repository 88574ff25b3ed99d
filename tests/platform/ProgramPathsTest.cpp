#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

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
