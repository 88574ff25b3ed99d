// The terminal's rules: the line list, TermBefehl.ini, sending, and the
// recording of a response for a number of seconds.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "FakeFileStore.h"
#include "StationHome.h"
#include "app/Terminal.h"
#include "app/TerminalCommands.h"
#include "app/TerminalLines.h"
#include "model/Colours.h"
#include "model/OutputList.h"

namespace {

// ---- the line list ----

TEST(TerminalLines, ControlBytesAreShownByTheirCode) {
    struct Case {
        std::string received;
        std::string shown;
    };
    const Case cases[] = {
        {"abc\r\n", "abc{13}{10}"},
        {"12:00:00,10.03.24,TE5.0,\x1F\r\n", "12:00:00,10.03.24,TE5.0,{31}{13}{10}"},
        {std::string("a\0b", 3), "a{0}b"},
        {"\tT \xB0"
         "C",
         "{9}T \xB0"
         "C"},  // a blank and a byte above 127 stay as they are
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(TerminalLines::Shown(c.received), c.shown) << c.shown;
}

TEST(TerminalLines, KeepsTheLatest500AndCopiesThemWithLineEnds) {
    TerminalLines lines;
    for (int i = 1; i <= 500; ++i) EXPECT_FALSE(lines.Add("L" + std::to_string(i) + "\r\n"));
    EXPECT_TRUE(lines.Add("L501\r\n")) << "the 501st line pushes out the first";
    ASSERT_EQ(lines.Count(), 500u);
    EXPECT_EQ(lines.Lines().front(), "L2{13}{10}");
    EXPECT_EQ(lines.Lines().back(), "L501{13}{10}");

    TerminalLines two;
    two.Add("<!P>\r\n");
    two.Add("x");
    EXPECT_EQ(two.AllText(), "<!P>{13}{10}\r\nx\r\n");
}

// ---- TermBefehl.ini ----

class TerminalCommandsTest : public ::testing::Test, protected ManualWorld {
protected:
    TerminalCommandsTest() : ManualWorld(Utc(2024, 3, 10, 12, 0)) {}
    std::string File() const { return TerminalCommands::File(paths); }
};

TEST_F(TerminalCommandsTest, ReadsTheFileBesideTheProgram) {
    EXPECT_EQ(File(), folder.File("wetterTermBefehl.ini"));
    folder.Write("wetterTermBefehl.ini",
                 "[UserDef1]\nCommand=?D\nSave=true\nSavePath=logger.txt\nSekTimeout=20\n"
                 "[UserDef3]\nCommand=!P\nSave=TRUE\nSekTimeout=abc\n"
                 "[UserDef8]\nCommand=" +
                     std::string(300, 'x') + "\nSave=ja\n");
    const TerminalCommands::Commands read = TerminalCommands::ReadAll(profile, File());
    EXPECT_EQ(read[0], (UserCommand{"?D", true, "logger.txt", 20})) << "\"true\" counts as TRUE";
    EXPECT_EQ(read[1], UserCommand{});
    EXPECT_EQ(read[2], (UserCommand{"!P", true, "", 0}));
    EXPECT_EQ(read[7].command, std::string(255, 'x')) << "read with its maximum length";
    EXPECT_FALSE(read[7].save);

    EXPECT_EQ(TerminalCommands::MenuText(read[0]), "?D");
    EXPECT_EQ(TerminalCommands::MenuText(read[1]), "nicht definiert");
}

TEST_F(TerminalCommandsTest, WritesEverySectionInOrder) {
    TerminalCommands::Commands commands;
    commands[0] = {"?D", true, "logger.txt", 20};
    commands[4] = {"!R5", false, "", 0};
    ASSERT_TRUE(TerminalCommands::WriteAll(profile, File(), commands));
    std::string expected;
    for (int n = 1; n <= 8; ++n) {
        const UserCommand& c = commands[n - 1];
        expected += "[UserDef" + std::to_string(n) + "]\r\nCommand=" + c.command +
                    "\r\nSave=" + (c.save ? "TRUE" : "FALSE") + "\r\nSavePath=" + c.savePath +
                    "\r\nSekTimeout=" + std::to_string(c.seconds) + "\r\n";
    }
    EXPECT_EQ(folder.Read("wetterTermBefehl.ini"), expected);
    EXPECT_EQ(TerminalCommands::ReadAll(profile, File()), commands) << "read back as written";

    EXPECT_FALSE(TerminalCommands::WriteAll(profile, folder.File("gone/TermBefehl.ini"), commands));
}

TEST_F(TerminalCommandsTest, RefusesWhatWouldNotReadBackTheSame) {
    struct Case {
        const char* name;
        UserCommand command;
        const char* message;  // part of it; nullptr: accepted
    };
    const Case cases[] = {
        {"plain", {"?D", true, "a.txt", 5}, nullptr},
        {"longest command", {std::string(255, 'c'), false, "", 0}, nullptr},
        {"command too long", {std::string(10000, 'c'), false, "", 0}, "at most 255 characters"},
        {"path too long", {"?D", true, std::string(260, 'p'), 5}, "at most 259 characters"},
        {"line break", {"!P\r\n!R", false, "", 0}, "line breaks"},
        {"leading blank", {" !P", false, "", 0}, "blanks at either end"},
        {"quoted", {"\"!P\"", false, "", 0}, "enclosing quotes"},
        {"negative time", {"?D", true, "a.txt", -1}, "whole number from 0 to 2147483"},
        {"time beyond the timer", {"?D", true, "a.txt", 2147484}, "whole number from 0"},
        {"recording without file", {"?D", true, "", 5}, "enter the file"},
        {"no recording without file", {"?D", false, "", 5}, nullptr},
    };
    for (const Case& c : cases) {
        TerminalCommands::Commands commands;
        commands[5] = c.command;
        const std::optional<std::string> problem = TerminalCommands::Check(commands);
        if (c.message == nullptr) {
            EXPECT_FALSE(problem) << c.name << ": " << *problem;
            continue;
        }
        ASSERT_TRUE(problem) << c.name;
        EXPECT_NE(problem->find("User 6"), std::string::npos) << c.name << ": " << *problem;
        EXPECT_NE(problem->find(c.message), std::string::npos) << c.name << ": " << *problem;
    }
}

// ---- sending and recording ----

class TerminalTest : public ::testing::Test, protected ManualWorld {
protected:
    TerminalTest() : ManualWorld(Utc(2024, 3, 10, 12, 0)) {
        OutputList::Process().Clear();
        terminal.SetRecordingListener([this](bool on) { recordingChanges.push_back(on); });
    }

    void WriteCommands(const std::string& sections) {
        folder.Write("wetterTermBefehl.ini", sections);
    }
    // What the acquisition reader would send next, and takes it.
    std::string Queued() {
        return process.PendingCommandEvent.TestAndClear() ? process.PendingCommandText.Text()
                                                          : "<nothing>";
    }

    Terminal terminal{context};
    std::vector<bool> recordingChanges;
};

TEST_F(TerminalTest, SendQueuesTheTextWithItsLineEnd) {
    EXPECT_TRUE(terminal.Send("?T"));
    EXPECT_EQ(Queued(), "?T\r\n");
    EXPECT_TRUE(terminal.Send(std::string(255, 'x')));
    EXPECT_EQ(Queued(), std::string(255, 'x') + "\r\n");
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(TerminalTest, ACommandThatCannotGoOutIsRefusedWithAReason) {
    EXPECT_FALSE(terminal.Send(std::string(10000, 'x')));
    EXPECT_EQ(Queued(), "<nothing>") << "nothing half sent";
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].find("at most 255 characters"), std::string::npos);
    EXPECT_NE(ui.Messages()[0].find("10000 given"), std::string::npos);

    // With no station being read the next connect would drop it.
    bool listening = false;
    terminal.SetStationCheck([&] { return listening; });
    EXPECT_FALSE(terminal.Send("?T"));
    EXPECT_EQ(Queued(), "<nothing>");
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_NE(ui.Messages()[1].find("No station is being read"), std::string::npos);
    listening = true;
    EXPECT_TRUE(terminal.Send("?T"));
    EXPECT_EQ(Queued(), "?T\r\n");
}

TEST_F(TerminalTest, RecordsTheResponseForTheGivenSeconds) {
    WriteCommands("[UserDef2]\nCommand=?D\nSave=true\nSavePath=response.txt\nSekTimeout=2\n");
    terminal.AddLine("before\r\n");
    terminal.RunUserCommand(2);
    EXPECT_EQ(Queued(), "?D\r\n");
    ASSERT_TRUE(terminal.Recording());
    EXPECT_EQ(terminal.RecordingFile(), folder.File("response.txt"));
    EXPECT_EQ(timers.PeriodOf(&terminal, Terminal::kRecordingTimer), 2000u);

    terminal.AddLine("<?D>\r\n");
    terminal.AddLine("12:00:00,10.03.24,TE5.0,\x1F\r\n");
    clock.Advance(1999);
    EXPECT_TRUE(terminal.Recording());
    clock.Advance(1);
    EXPECT_FALSE(terminal.Recording());
    EXPECT_FALSE(timers.IsRunning(&terminal, Terminal::kRecordingTimer));
    terminal.AddLine("after\r\n");

    EXPECT_EQ(folder.Read("response.txt"), "<?D>\r\n12:00:00,10.03.24,TE5.0,\x1F\r\n")
        << "the lines unchanged, only while recording";
    EXPECT_EQ(recordingChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(terminal.Lines().Count(), 4u) << "every line is shown";
}

TEST_F(TerminalTest, SendsWithoutRecordingUnlessTimeSaveAndFileAreGiven) {
    struct Case {
        const char* name;
        const char* keys;
    };
    const Case cases[] = {
        {"no time", "Save=TRUE\nSavePath=r.txt\nSekTimeout=0\n"},
        {"save off", "Save=FALSE\nSavePath=r.txt\nSekTimeout=5\n"},
        {"no file", "Save=TRUE\nSavePath=\nSekTimeout=5\n"},
        {"negative time", "Save=TRUE\nSavePath=r.txt\nSekTimeout=-3\n"},
    };
    for (const Case& c : cases) {
        WriteCommands(std::string("[UserDef1]\nCommand=!P\n") + c.keys);
        terminal.RunUserCommand(1);
        EXPECT_EQ(Queued(), "!P\r\n") << c.name;
        EXPECT_FALSE(terminal.Recording()) << c.name;
        EXPECT_EQ(folder.Read("r.txt"), "<missing>") << c.name;
    }
    // Only an old menu state reaches an empty command: it sends the line end alone.
    WriteCommands("");
    terminal.RunUserCommand(4);
    EXPECT_EQ(Queued(), "\r\n");
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(TerminalTest, TheNextUserCommandEndsTheRecordingBeforeItsOwnStarts) {
    WriteCommands(
        "[UserDef1]\nCommand=?D\nSave=TRUE\nSavePath=first.txt\nSekTimeout=60\n"
        "[UserDef2]\nCommand=?T\nSave=TRUE\nSavePath=" +
        folder.File("second.txt") + "\nSekTimeout=30\n");
    folder.Write("first.txt", "old content\r\n");
    terminal.RunUserCommand(1);
    EXPECT_EQ(folder.Read("first.txt"), "") << "an existing file is emptied";
    terminal.AddLine("one\r\n");
    terminal.RunUserCommand(2);
    terminal.AddLine("two\r\n");
    EXPECT_EQ(folder.Read("first.txt"), "one\r\n");
    EXPECT_EQ(folder.Read("second.txt"), "two\r\n") << "an absolute path is taken as it is";
    EXPECT_EQ(timers.PeriodOf(&terminal, Terminal::kRecordingTimer), 30000u);
    EXPECT_EQ(recordingChanges, (std::vector<bool>{true, false, true}));

    terminal.StopRecording();  // "Stop reading data"
    EXPECT_FALSE(terminal.Recording());
    EXPECT_FALSE(timers.IsRunning(&terminal, Terminal::kRecordingTimer));
}

TEST_F(TerminalTest, ARecordingFileThatCannotBeOpenedIsReported) {
    WriteCommands(
        "[UserDef1]\nCommand=?D\nSave=TRUE\nSavePath=no/such/folder/r.txt\nSekTimeout=5\n");
    terminal.RunUserCommand(1);
    EXPECT_EQ(Queued(), "?D\r\n") << "the command has gone out already";
    EXPECT_FALSE(terminal.Recording());
    EXPECT_FALSE(timers.IsRunning(&terminal, Terminal::kRecordingTimer));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].find(folder.File("no/such/folder/r.txt")), std::string::npos);
    EXPECT_NE(ui.Messages()[0].find("No such file or directory"), std::string::npos);
    const tagOutpElm last = OutputList::Process().Snapshot().back();
    EXPECT_EQ(last.text, "No such file or directory <==> NR: 2");
    EXPECT_EQ(last.colour, Rgb(151, 47, 49));
    EXPECT_TRUE(recordingChanges.empty());
}

TEST_F(TerminalTest, AFullDiskEndsTheRecordingWithAMessage) {
    FakeFileStore files;
    context.files = &files;
    WriteCommands("[UserDef1]\nCommand=?D\nSave=TRUE\nSavePath=r.txt\nSekTimeout=5\n");
    terminal.RunUserCommand(1);
    terminal.AddLine("one\r\n");
    files.appendError = ENOSPC;
    terminal.AddLine("two\r\n");
    EXPECT_FALSE(terminal.Recording());
    EXPECT_FALSE(timers.IsRunning(&terminal, Terminal::kRecordingTimer));
    EXPECT_EQ(files.Read(folder.File("r.txt")), "one\r\n");
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].find("recording has stopped"), std::string::npos);
    EXPECT_NE(ui.Messages()[0].find("No space left on device"), std::string::npos);
    terminal.AddLine("three\r\n");
    EXPECT_EQ(files.appends.size(), 2u) << "no further attempts";
    EXPECT_EQ(terminal.Lines().Count(), 3u);
}

}  // namespace
