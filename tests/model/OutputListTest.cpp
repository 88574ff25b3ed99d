#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "model/Colours.h"
#include "model/OutputList.h"

TEST(OutputListTest, LinesKeepOrderAndColourAndCopyEndsEachWithCrLf) {
    OutputList list;
    list.Write("?D", kColourCommand);
    list.Write("Timeout at sending", kColourError);
    const std::vector<tagOutpElm> expected{{"?D", Rgb(255, 128, 14)},
                                           {"Timeout at sending", Rgb(255, 0, 0)}};
    EXPECT_EQ(list.Snapshot(), expected);
    EXPECT_EQ(list.ClipboardText(), "?D\r\nTimeout at sending\r\n");
}

TEST(OutputListTest, AppendsFromSeveralThreadsAreAllKept) {
    OutputList list;
    std::vector<std::jthread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&list, t] {
            for (int i = 0; i < 1000; ++i) list.Write("line " + std::to_string(t), kColourAction);
        });
    writers.clear();
    EXPECT_EQ(list.Count(), 4000u);
}

TEST(OutputListTest, OldestLinesGoFirstWhenTheListIsFull) {
    OutputList list;
    for (std::size_t i = 0; i < OutputList::kMaxLines + 2; ++i) list.Write(std::to_string(i), 0);
    const auto lines = list.Snapshot();
    ASSERT_EQ(lines.size(), OutputList::kMaxLines);
    EXPECT_EQ(lines.front().text, "2");
    EXPECT_EQ(lines.back().text, std::to_string(OutputList::kMaxLines + 1));
}

// Commands are traced as they go to the station, line end included; a line of
// the window ends where its text ends, so the copy has no empty lines between.
TEST(OutputListTest, ALineEndAtTheEndOfATextIsNotKept) {
    OutputList list;
    list.Write("?D\r\n", kColourCommand);
    list.Write("ATZ\r", kColourCommand);
    list.Write("\r\n", kColourCommand);  // the bare line ends sent at a disconnect
    list.Write("Error!\nWeatherstation could not understand sequent: !R5\r\n\r\n", 0);
    list.Write("Timer 3000", 0);
    const std::vector<std::string> expected{
        "?D", "ATZ", "Error!\nWeatherstation could not understand sequent: !R5", "Timer 3000"};
    std::vector<std::string> texts;
    for (const tagOutpElm& line : list.Snapshot()) texts.push_back(line.text);
    EXPECT_EQ(texts, expected) << "a line end inside a text stays";
    EXPECT_EQ(list.ClipboardText(),
              "?D\r\nATZ\r\nError!\nWeatherstation could not understand sequent: !R5\r\n"
              "Timer 3000\r\n");
}
