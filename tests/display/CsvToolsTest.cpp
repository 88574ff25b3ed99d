#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <thread>

#include "RecordingLauncher.h"
#include "ScriptedUi.h"
#include "TempFolder.h"
#include "display/CsvTools.h"
#include "platform/PosixLauncher.h"

namespace {

class CsvToolsTest : public ::testing::Test {
protected:
    CsvToolStart Start(CsvTool tool) {
        return StartCsvTool(tool, folder.Path(), ui, &launcher, "wetter");
    }

    TempFolder folder;
    ScriptedUi ui;
    RecordingLauncher launcher;
};

TEST_F(CsvToolsTest, TheToolStartsInTheDataFolderAfterTheQuestion) {
    const struct {
        CsvTool tool;
        const char* file;
        const char* question;
    } cases[] = {
        {CsvTool::kConverter, "convtool",
         "Converts existing weather data in the data path into CSV-Files.\n\nIMPORTANT: "
         "convtool.exe must be in the data path!"},
        {CsvTool::kStatistics, "SUMTOOL.EXE",
         "Creates a CSV-statisticfrom all stored weather data in the data path.\n\nIMPORTANT: "
         "SUMTOOL.EXE must be in the data path!!\nNot running under 64-bit systems!"},
    };
    for (const auto& c : cases) {
        TempFolder data;
        data.Write(c.file, "#!/bin/sh\n");
        ui.shown.clear();
        launcher.calls.clear();
        EXPECT_EQ(StartCsvTool(c.tool, data.Path(), ui, &launcher, "wetter"),
                  CsvToolStart::kStarted);
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].text, c.question);
        EXPECT_EQ(ui.shown[0].buttons, MsgButtons::OkCancel);
        EXPECT_EQ(launcher.calls,
                  std::vector<std::string>{"launch in " + data.Path() + " " + data.File(c.file)});
    }
}

TEST_F(CsvToolsTest, CancelStartsNothing) {
    folder.Write("convtool", "");
    ui.answers.push_back(MsgAnswer::Cancel);
    EXPECT_EQ(Start(CsvTool::kConverter), CsvToolStart::kCancelled);
    EXPECT_TRUE(launcher.calls.empty());
    EXPECT_EQ(ui.shown.size(), 1u);
}

TEST_F(CsvToolsTest, AMissingToolIsToldInsteadOfNothingHappening) {
    folder.Write("convtool", "");  // the other tool
    EXPECT_EQ(Start(CsvTool::kStatistics), CsvToolStart::kMissing);
    EXPECT_TRUE(launcher.calls.empty());
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_NE(ui.shown[1].text.find("sumtool was not found in the data path"), std::string::npos);
    EXPECT_NE(ui.shown[1].text.find(folder.Path()), std::string::npos);
}

TEST_F(CsvToolsTest, AFailedStartIsTold) {
    folder.Write("convtool.exe", "");
    launcher.works = false;
    EXPECT_EQ(Start(CsvTool::kConverter), CsvToolStart::kFailed);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].text, folder.File("convtool.exe") + " could not be started.");

    ui.shown.clear();
    EXPECT_EQ(StartCsvTool(CsvTool::kConverter, folder.Path(), ui, nullptr, "wetter"),
              CsvToolStart::kFailed);
}

TEST_F(CsvToolsTest, TheRealToolRunsInTheDataFolder) {
    // Writes its working folder beside itself.
    const std::string tool = folder.Write("convtool", "#!/bin/sh\npwd > where.txt\n");
    ASSERT_EQ(chmod(tool.c_str(), 0755), 0);
    PosixLauncher real;
    ASSERT_EQ(StartCsvTool(CsvTool::kConverter, folder.Path(), ui, &real, "wetter"),
              CsvToolStart::kStarted);
    std::string where = "<missing>";
    for (int i = 0; i < 300 && where == "<missing>"; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        where = folder.Read("where.txt");
    }
    EXPECT_EQ(where, folder.Path() + "\n");
}

}  // namespace
