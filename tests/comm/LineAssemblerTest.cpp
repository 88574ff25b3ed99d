// Where a reader stands in the byte stream when it ends: the start of the line
// it was receiving, known only after a line feed.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "comm/LineAssembler.h"

namespace {

struct UnfinishedRow {
    const char* name;
    std::string
        bytes;  // fed to an initialisation reader (bell ends lines), completed lines cleared
    std::optional<std::string> unfinished;
};

class LineAssemblerUnfinished : public ::testing::TestWithParam<UnfinishedRow> {};

TEST_P(LineAssemblerUnfinished, IsKnownOnlyAfterALineFeed) {
    LineAssembler assembler(true);
    for (char byte : GetParam().bytes)
        if (assembler.Add(byte)) assembler.Clear();
    EXPECT_EQ(assembler.UnfinishedLine(), GetParam().unfinished);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LineAssemblerUnfinished,
    ::testing::Values(
        UnfinishedRow{"NothingReceived", "", std::nullopt},
        UnfinishedRow{"NoLineEndYet", "TE5.0,\r", std::nullopt},
        UnfinishedRow{"RightAfterALineFeed", "TE5.0,\r\n", ""},
        UnfinishedRow{"StartOfTheNextLineWithoutDroppedBytes",
                      "TE5.0,\r\n1\x02"
                      "2:0",
                      "12:0"},
        UnfinishedRow{"AfterABell", "TE5.0,\r\n12:0\a0:10", std::nullopt},
        UnfinishedRow{"InsideAnOverlongLine",
                      "\n" + std::string(LineAssembler::kMaxLineLength + 1, 'x'), std::nullopt},
        UnfinishedRow{"AfterAnOverlongLine",
                      "\n" + std::string(LineAssembler::kMaxLineLength + 1, 'x') + "\n12", "12"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
