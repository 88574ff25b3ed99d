#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ScopedEnvironment.h"
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

// The environment of one user: variables, the folders this user may write,
// and the folders the program created.
class FakeFolderEnvironment : public FolderEnvironment {
public:
    std::optional<std::string> Variable(const std::string& name) const override {
        const auto found = variables.find(name);
        if (found == variables.end()) return std::nullopt;
        return found->second;
    }
    std::string AccountHome() const override { return accountHome; }
    bool Writable(const std::string& folder) const override { return writable.count(folder) != 0; }
    bool CreateFolders(const std::string& folder) const override {
        created.push_back(folder);
        return true;
    }

    std::map<std::string, std::string> variables;
    std::set<std::string> writable;
    std::string accountHome = "/home/account";
    mutable std::vector<std::string> created;
};

struct FolderRow {
    const char* name;
    const char* executable;
    std::set<std::string> writable;
    std::map<std::string, std::string> variables;
    const char* stationIni;  // Named("station.ini")
    const char* created;     // the folder created on the way, "" for none
};

const FolderRow kFolderRows[] = {
    {"BuildFolderStaysAsItIs",
     "/home/ann/wetter/build/src/wetter",
     {"/home/ann/wetter/build/src"},
     {{"HOME", "/home/ann"}},
     "/home/ann/wetter/build/src/wetterstation.ini",
     ""},
    {"CopiedIntoAWritableFolder",
     "/usr/local/bin/wetter",
     {"/usr/local/bin"},
     {{"HOME", "/root"}},
     "/usr/local/bin/wetterstation.ini",
     ""},
    {"InstalledGoesToTheDataHome",
     "/usr/bin/wetter",
     {},
     {{"HOME", "/home/ann"}},
     "/home/ann/.local/share/wetter/wetterstation.ini",
     "/home/ann/.local/share/wetter"},
    {"SecondNameIsASecondStationThere",
     "/usr/bin/garten",
     {},
     {{"HOME", "/home/ann"}},
     "/home/ann/.local/share/wetter/gartenstation.ini",
     "/home/ann/.local/share/wetter"},
    {"XdgDataHomeIsHonoured",
     "/usr/bin/wetter",
     {},
     {{"HOME", "/home/ann"}, {"XDG_DATA_HOME", "/data/ann/"}},
     "/data/ann/wetter/wetterstation.ini",
     "/data/ann/wetter"},
    {"RelativeXdgDataHomeIsIgnored",
     "/usr/bin/wetter",
     {},
     {{"HOME", "/home/ann"}, {"XDG_DATA_HOME", "data"}},
     "/home/ann/.local/share/wetter/wetterstation.ini",
     "/home/ann/.local/share/wetter"},
    {"WithoutHomeTheAccountsHome",
     "/usr/bin/wetter",
     {},
     {{"HOME", ""}},
     "/home/account/.local/share/wetter/wetterstation.ini",
     "/home/account/.local/share/wetter"},
    {"AnyReadOnlyFolderCounts",
     "/opt/ws/wetter",
     {},
     {{"HOME", "/home/ann"}},
     "/home/ann/.local/share/wetter/wetterstation.ini",
     "/home/ann/.local/share/wetter"},
    {"RootWritesNoSettingsAmongThePackages",
     "/usr/bin/wetter",
     {"/usr/bin"},
     {{"HOME", "/root"}},
     "/root/.local/share/wetter/wetterstation.ini",
     "/root/.local/share/wetter"},
    {"WetterHomeWinsOverEverything",
     "/usr/bin/wetter",
     {},
     {{"HOME", "/home/ann"}, {"WETTER_HOME", "/srv/station.1/"}},
     "/srv/station.1/wetterstation.ini",
     ""},
    {"EmptyWetterHomeIsUnset",
     "/opt/ws/wetter",
     {"/opt/ws"},
     {{"WETTER_HOME", ""}},
     "/opt/ws/wetterstation.ini",
     ""},
};

class ProgramFolder : public ::testing::TestWithParam<FolderRow> {};

TEST_P(ProgramFolder, IsTheExecutablesFolderOnlyWhenTheUserMayWriteIt) {
    const FolderRow& row = GetParam();
    FakeFolderEnvironment environment;
    environment.writable = row.writable;
    environment.variables = row.variables;

    const ProgramPaths paths = ProgramPaths::ForExecutable(row.executable, environment);

    EXPECT_EQ(paths.Named("station.ini"), row.stationIni);
    const std::string folder = paths.Folder();
    EXPECT_EQ(paths.InFolder("ErrLog.txt"), folder + "/ErrLog.txt");
    EXPECT_EQ(paths.DefaultDataFolder(), folder + "/Daten");
    const std::vector<std::string> created =
        *row.created ? std::vector<std::string>{row.created} : std::vector<std::string>{};
    EXPECT_EQ(environment.created, created);
}

INSTANTIATE_TEST_SUITE_P(Rows, ProgramFolder, ::testing::ValuesIn(kFolderRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProgramFolderOnThisSystem, CreatesThePerUserFolderPrivateWithItsParents) {
    TempFolder folder;
    const std::string perUser = folder.File("home/.local/share/wetter");
    ASSERT_TRUE(ProgramPaths::System().CreateFolders(perUser));
    struct stat status {};
    ASSERT_EQ(::stat(perUser.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    EXPECT_TRUE(ProgramPaths::System().CreateFolders(perUser)) << "an existing folder is fine";
}

TEST(ProgramFolderOnThisSystem, AReadOnlyProgramFolderMovesTheFilesToTheDataHome) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write any folder";
    TempFolder folder;
    std::filesystem::create_directories(folder.File("bin"));
    folder.Write("bin/wetter", "#!/bin/sh\n");
    std::filesystem::permissions(folder.File("bin/wetter"), std::filesystem::perms::owner_all);
    std::filesystem::permissions(folder.File("bin"), std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::owner_exec);
    ScopedEnvironment environment;
    environment.Unset("WETTER_HOME");
    environment.Set("XDG_DATA_HOME", folder.File("data"));

    const ProgramPaths paths = ProgramPaths::ForThisProcess(folder.File("bin/wetter"));
    std::filesystem::permissions(folder.File("bin"), std::filesystem::perms::owner_all);

    EXPECT_EQ(paths.Named("station.ini"), folder.File("data/wetter/wetterstation.ini"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("data/wetter")));
}

}  // namespace
