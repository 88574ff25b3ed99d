// The person at the screen in the service mode: messages as single lines on
// standard error and entries in ErrLog.txt, questions answered so that the
// program goes on and keeps its data, and a log that cannot be written does
// not report itself over and over.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "StationHome.h"
#include "app/HeadlessUi.h"
#include "platform/EventQueue.h"

namespace {

struct AnswerRow {
    const char* name;
    MsgButtons buttons;
    MsgAnswer answer;
};

class QuestionWithoutPerson : public ::testing::TestWithParam<AnswerRow> {};

TEST_P(QuestionWithoutPerson, GetsTheAnswerThatKeepsTheProgramRunning) {
    std::ostringstream out;
    HeadlessUi ui(out);
    EXPECT_EQ(ui.MessageBox("Question?", "wetter", GetParam().buttons, MsgIcon::Question),
              GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, QuestionWithoutPerson,
    ::testing::Values(AnswerRow{"Ok", MsgButtons::Ok, MsgAnswer::Ok},
                      AnswerRow{"QuitIsCancelled", MsgButtons::OkCancel, MsgAnswer::Cancel},
                      AnswerRow{"CancellingTheReadOutIsRefused", MsgButtons::YesNo, MsgAnswer::No},
                      AnswerRow{"YesNoCancel", MsgButtons::YesNoCancel, MsgAnswer::Cancel},
                      AnswerRow{"NoEndlessRetry", MsgButtons::RetryCancel, MsgAnswer::Cancel},
                      AnswerRow{"UnreadableMonthIsSkipped", MsgButtons::AbortRetryIgnore,
                                MsgAnswer::Ignore}),
    [](const auto& info) { return std::string(info.param.name); });

struct LineRow {
    const char* name;
    const char* text;
    const char* line;
};

class OneLine : public ::testing::TestWithParam<LineRow> {};

TEST_P(OneLine, IsReadableInAJournal) {
    EXPECT_EQ(HeadlessUi::OneLine(GetParam().text), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, OneLine,
    ::testing::Values(LineRow{"LineBreaksBecomeOneBlank",
                              "Receive no data!\n\nAction:\r\n- Is the port OK?\r\n",
                              "Receive no data! Action: - Is the port OK?"},
                      LineRow{"Windows1252BecomesUtf8", "Ortsh\xF6he 5\xB0 \x80 \x93",
                              "Ortsh\xC3\xB6he 5\xC2\xB0 "
                              "\xE2\x82\xAC \xE2\x80\x9C"},
                      LineRow{"ControlCharactersAreLeftOut", "a\x1F\x07z\x7F", "az"},
                      LineRow{"UnassignedBytesAreMarked", "\x81", "\xEF\xBF\xBD"}),
    [](const auto& info) { return std::string(info.param.name); });

class HeadlessMessages : public ::testing::Test, protected ManualWorld {
protected:
    HeadlessMessages() : ManualWorld(Utc(2024, 3, 10, 12, 0)) {}
};

TEST_F(HeadlessMessages, GoToStandardErrorAndIntoTheErrorLogWithTheAnswerGiven) {
    std::ostringstream out;
    HeadlessUi headless(out);
    headless.SetErrorLog(&errorLog);

    headless.MessageBox("Port couldn't be opened!", "wetter", MsgButtons::Ok, MsgIcon::Error);
    headless.MessageBox("Do you really want to quit?", "wetter", MsgButtons::OkCancel,
                        MsgIcon::Question);
    headless.CautionBox("Error!\nWeatherstation could not understand sequent: !R7");
    headless.Note("Waiting for data...");

    EXPECT_EQ(out.str(),
              "wetter: Port couldn't be opened!\n"
              "wetter: Do you really want to quit? (answered: Cancel)\n"
              "Error! Weatherstation could not understand sequent: !R7\n"
              "Waiting for data...\n");
    const std::string log = folder.Read("ErrLog.txt");
    EXPECT_NE(log.find("Port couldn't be opened!"), std::string::npos);
    EXPECT_NE(log.find("Do you really want to quit?\r\n(answered: Cancel)"), std::string::npos);
    EXPECT_NE(log.find("could not understand sequent: !R7"), std::string::npos);
    EXPECT_EQ(log.find("Waiting for data..."), std::string::npos) << "progress is no event";
}

TEST_F(HeadlessMessages, EntriesOthersWriteIntoTheLogAppearOnceOnStandardError) {
    std::ostringstream out;
    HeadlessUi headless(out);
    headless.SetErrorLog(&errorLog);
    errorLog.SetEcho([&headless](std::string_view text) { headless.EchoLogEntry(text); });

    const std::string noData = "Receive no data!\n\nAction:\n- Is the selected port OK?";
    errorLog.WriteErrorLog(noData);
    // The box that shows the logged text is neither written nor logged twice.
    headless.MessageBox(noData, "wetter", MsgButtons::Ok, MsgIcon::Error);
    headless.MessageBox("Port couldn't be opened!", "wetter", MsgButtons::Ok, MsgIcon::Error);
    headless.MessageBox(noData, "wetter", MsgButtons::Ok, MsgIcon::Error);

    EXPECT_EQ(out.str(),
              "Receive no data! Action: - Is the selected port OK?\n"
              "wetter: Port couldn't be opened!\n"
              "wetter: Receive no data! Action: - Is the selected port OK?\n");
    const std::string log = folder.Read("ErrLog.txt");
    std::size_t entries = 0;
    for (std::size_t at = log.find("Receive no data!"); at != std::string::npos;
         at = log.find("Receive no data!", at + 1))
        ++entries;
    EXPECT_EQ(entries, 2u) << "once from the log, once from the later box";
}

TEST_F(HeadlessMessages, CarryTheirLevelForTheJournal) {
    std::ostringstream out;
    HeadlessUi headless(out, true);
    headless.MessageBox("Port couldn't be opened!", "wetter", MsgButtons::Ok, MsgIcon::Error);
    headless.MessageBox("Last valid: ...", "wetter", MsgButtons::Ok, MsgIcon::Warning);
    headless.Note("Initialisation ended");
    EXPECT_EQ(out.str(),
              "<3>wetter: Port couldn't be opened!\n<4>wetter: Last valid: ...\n"
              "<6>Initialisation ended\n");
}

TEST_F(HeadlessMessages, UnwritableLogIsReportedOnceNotOverAndOver) {
    // A folder where the log should be: every attempt to open it fails.
    std::filesystem::create_directories(folder.File("logs"));
    std::ostringstream out;
    HeadlessUi headless(out);
    // Run one posted call at a time: a failure that reports itself would never drain.
    struct StepQueue final : EventQueue {
        void Post(std::function<void()> call) override { calls.push_back(std::move(call)); }
        std::vector<std::function<void()>> calls;
    } queue;
    ErrorLog unwritable(folder.File("logs"), clock, queue, headless);
    headless.SetErrorLog(&unwritable);

    headless.MessageBox("Port couldn't be opened!", "wetter", MsgButtons::Ok, MsgIcon::Error);
    ASSERT_EQ(queue.calls.size(), 1u) << "the log's own failure box";
    const std::function<void()> failureBox = std::move(queue.calls.front());
    queue.calls.clear();
    failureBox();
    EXPECT_TRUE(queue.calls.empty()) << "writing that one down must not fail again";
    EXPECT_EQ(out.str(), "wetter: Port couldn't be opened!\nError: logs: Is a directory\n");
}

}  // namespace
