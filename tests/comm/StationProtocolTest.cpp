// The command texts, the echo rule, the sensor labels of a first line and the
// bounded line assembly of the readers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comm/LineAssembler.h"
#include "comm/StationProtocol.h"

using namespace StationProtocol;

TEST(StationProtocol, StorageIntervalTakesTheStationsThreeForms) {
    const std::vector<std::pair<int, const char*>> rows = {
        {300, "!Z30"}, {2550, "!Z255"}, {2560, "!ZD1280"}, {15, "!ZS15"}, {4, "!ZD2"}, {10, "!Z1"}};
    for (const auto& [seconds, command] : rows) EXPECT_EQ(StorageIntervalCommand(seconds), command);
}

TEST(StationProtocol, EchoIsTheTextAfterTheLastOpeningBracket) {
    EXPECT_EQ(EchoText("<!Z30>\r\n"), "!Z30");
    EXPECT_EQ(EchoText("x<a<!C>>\r\n"), "!C");
    EXPECT_EQ(EchoText("<>\r\n"), "");
    EXPECT_EQ(EchoText("<!Z30\r\n"), std::nullopt);
    EXPECT_EQ(EchoText("!Z30>\r\n"), std::nullopt);
    EXPECT_EQ(EchoText("a>b<c\r\n"), std::nullopt) << "no '>' behind the last '<'";
    EXPECT_TRUE(IsOnlineReply("a>b<c"));
    EXPECT_FALSE(IsOnlineReply("12:00:00,TE5,"));
}

TEST(StationProtocol, SensorLabelsOfTheFirstLine) {
    struct Row {
        const char* line;
        std::vector<std::string> labels;
    };
    const std::vector<Row> rows = {
        {"12.3T,45H,1013P,\r\n", {"T", "H", "P"}},
        {"12:00:00,10.03.24,TE -1.5,FE80,\x1F\r\n", {"TE", "FE"}},
        {"TE12.3 FE45\r\n", {}},
        {"TE1,,FE2,", {"TE"}},
        {"TE1,FE2", {"TE"}},
    };
    for (const Row& row : rows) {
        std::vector<std::string> labels;
        EXPECT_TRUE(ReadSensorIdentifiers(row.line, labels));
        EXPECT_EQ(labels, row.labels) << row.line;
    }
}

namespace {
std::vector<std::string> Lines(LineAssembler& assembler, const std::string& bytes) {
    std::vector<std::string> lines;
    for (char byte : bytes) {
        if (assembler.Add(byte)) {
            lines.push_back(assembler.Line());
            assembler.Clear();
        }
    }
    return lines;
}
}  // namespace

TEST(LineAssembler, KeepsPrintableBytesAndEndsAtLineFeed) {
    LineAssembler init(true);
    EXPECT_EQ(Lines(init, "T\xB0" "E\x01" "5,\x1F\r\nA\aB\n"),
              (std::vector<std::string>{"TE5,\x1F\r\n", "A\a", "B\n"}));
    LineAssembler acquisition(false);
    EXPECT_EQ(Lines(acquisition, "A\aB\n\xFF\n"), (std::vector<std::string>{"AB\n", "\n"}));
}

TEST(LineAssembler, DropsAnEndlessLineAndGoesOnAfterItsEnd) {
    LineAssembler assembler(false);
    const std::string endless(LineAssembler::kMaxLineLength * 3, 'x');
    EXPECT_EQ(Lines(assembler, endless + "tail\nnext\n"), (std::vector<std::string>{"next\n"}));
    EXPECT_EQ(assembler.OverlongLines(), 1u);
    const std::string longest(LineAssembler::kMaxLineLength - 1, 'y');
    EXPECT_EQ(Lines(assembler, longest + "\n"), (std::vector<std::string>{longest + "\n"}));
}
