#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "TempFolder.h"
#include "platform/IniProfile.h"

using namespace std::string_literals;

namespace {

using Name = std::optional<std::string>;

// ---------------------------------------------------------------------------
// Reading

struct ReadRow {
    const char* name;
    std::string file;  // lines separated by '\n', replaced by each kind of line end
    Name section;
    Name key;
    std::string defaultValue;
    std::size_t size;
    std::string written;  // exact bytes expected in the buffer, terminators included
    std::size_t result;
};

const ReadRow kReadRows[] = {
    {"PlainValue", "[s]\nk=v\n", "s", "k", "d", 64, "v\0"s, 1},
    {"LastLineWithoutLineEnd", "[s]\nk=v", "s", "k", "d", 64, "v\0"s, 1},
    {"BlanksTrimmedInnerKept", "[s]\n \t\vk\v\t = \t a \t b \v\t\n", "s", "k", "d", 64, "a \t b\0"s,
     5},
    {"FirstEqualsSplits", "[s]\na=b=c\n", "s", "a", "d", 64, "b=c\0"s, 3},
    {"HeaderTrimmedTextAfterBracketIgnored", "[ s ]junk\nk=v\n", "s", "k", "d", 64, "v\0"s, 1},
    {"HeaderWithoutClosingBracket", "[s\nk=v\n", "s", "k", "d", 64, "v\0"s, 1},
    {"IndentedHeader", " \t[s]\nk=v\n", "s", "k", "d", 64, "v\0"s, 1},
    {"LinesBeforeFirstHeaderUnreadable", "k=v\n[s]\n", "", "k", "d", 64, "d\0"s, 1},
    {"EmptySectionName", "k=x\n[]\nk=v\n", "", "k", "d", 64, "v\0"s, 1},
    {"CommentNeverMatches", "[s]\n;k=v\n  ;k=w\nk=x\n", "s", ";k", "d", 64, "d\0"s, 1},
    {"CommentHidesItsKey", "[s]\n;k=v\n", "s", "k", "d", 64, "d\0"s, 1},
    {"HashIsOrdinary", "[s]\n#k=v\n", "s", "#k", "d", 64, "v\0"s, 1},
    {"NoEndOfLineComments", "[s]\nk=v ;x\n", "s", "k", "d", 64, "v ;x\0"s, 4},
    {"OuterDoubleQuotesRemoved", "[s]\nk= \" a \" \n", "s", "k", "d", 64, " a \0"s, 3},
    {"OuterSingleQuotesRemoved", "[s]\nk='a'\n", "s", "k", "d", 64, "a\0"s, 1},
    {"UnmatchedQuotesStay", "[s]\nk=\"a'\n", "s", "k", "d", 64, "\"a'\0"s, 3},
    {"LoneQuoteStays", "[s]\nk=\"\n", "s", "k", "d", 64, "\"\0"s, 1},
    {"OnlyOnePairRemoved", "[s]\nk=\"\"a\"\"\n", "s", "k", "d", 64, "\"a\"\0"s, 3},
    {"LineWithoutEqualsIsNoKey", "[s]\nk\n", "s", "k", "d", 64, "d\0"s, 1},
    {"EmptyValueFound", "[s]\nk=\n", "s", "k", "d", 64, "\0"s, 0},
    {"NamesIgnoreCaseValueKeepsIt", "[SeCtIoN]\nKeY=VaLuE\n", "section", "kEy", "d", 64, "VaLuE\0"s,
     5},
    {"Windows1252LettersIgnoreCase", "[H\xF6he]\n\xC4nderung=1\n", "H\xD6HE", "\xE4NDERUNG", "d",
     64, "1\0"s, 1},
    {"SpacesAroundAskedNamesIgnored", "[s]\nk=v\n", "  s ", " k  ", "d", 64, "v\0"s, 1},
    {"TabsAroundAskedNamesMatter", "[s]\nk=v\n", "s", "\tk", "d", 64, "d\0"s, 1},
    {"FirstSectionWins", "[s]\nk=1\n[S]\nk=2\nj=3\n", "s", "k", "d", 64, "1\0"s, 1},
    {"KeysInLaterCopyInvisible", "[s]\nk=1\n[S]\nk=2\nj=3\n", "s", "j", "d", 64, "d\0"s, 1},
    {"FirstKeyWins", "[s]\nk=1\nK=2\n", "s", "k", "d", 64, "1\0"s, 1},
    {"EmptyKeyMatchesBareEquals", "[s]\n=v\n", "s", "", "d", 64, "v\0"s, 1},
    {"NulIsOrdinaryByte", "[s]\nk=a\0b\n"s, "s", "k", "d", 64, "a\0b\0"s, 3},
    {"ByteOrderMarkHidesFirstHeader", "\xEF\xBB\xBF[s]\nk=v\n", "s", "k", "d", 64, "d\0"s, 1},

    {"CutToSizeMinusOne", "[s]\nk=val1\n", "s", "k", "d", 4, "val\0"s, 3},
    {"ExactFit", "[s]\nk=val1\n", "s", "k", "d", 5, "val1\0"s, 4},
    {"SizeOneGivesEmpty", "[s]\nk=val1\n", "s", "k", "d", 1, "\0"s, 0},
    {"SizeZeroWritesNothing", "[s]\nk=val1\n", "s", "k", "d", 0, "", 0},

    {"DefaultLosesOnlyTrailingSpaces", "[s]\nk=v\n", "s", "x", "  d  ", 64, "  d\0"s, 3},
    {"DefaultKeepsTrailingTab", "[s]\nk=v\n", "s", "x", "d\t ", 64, "d\t\0"s, 2},
    {"MissingSectionGivesDefault", "[s]\nk=v\n", "t", "k", "d", 64, "d\0"s, 1},
    {"DefaultCutToSize", "[s]\n", "s", "k", "default", 4, "def\0"s, 3},

    {"SectionList", "x=0\n[a]\n;[c]\n[b]\nk=1\n[A]\n[]\n", std::nullopt, std::nullopt, "d", 64,
     "a\0b\0\0"s, 4},
    {"KeyList", "[s]\nk=1\n;c=2\ntext\nempty=\n  spaced  = 3\nK=4\n=5\n[t]\nt=1\n", "s",
     std::nullopt, "d", 64, "k\0empty\0spaced\0\0"s, 15},
    {"KeyListOfFirstCopyOnly", "[s]\na=1\n[t]\nt=1\n[s]\nb=2\n", "S", std::nullopt, "d", 64,
     "a\0\0"s, 2},
    {"KeyListOfMissingSectionGivesDefault", "[s]\nk=1\n", "t", std::nullopt, "d ", 64, "d\0"s, 1},
    {"KeyListOfSectionWithoutKeysGivesDefault", "[s]\n;k=1\n", "s", std::nullopt, "d", 64, "d\0"s,
     1},
    {"ListExactFit", "[abc]\n[def]\n", std::nullopt, std::nullopt, "d", 9, "abc\0def\0\0"s, 8},
    {"ListCutInsideLastName", "[abc]\n[def]\n", std::nullopt, std::nullopt, "d", 8, "abc\0de\0\0"s,
     6},
    {"ListCutAtNameStart", "[abc]\n[def]\n", std::nullopt, std::nullopt, "d", 6, "abc\0\0\0"s, 4},
    {"ListCutInsideFirstName", "[abc]\n[def]\n", std::nullopt, std::nullopt, "d", 3, "a\0\0"s, 1},
    {"KeyListCut", "[s]\nname1=1\nname2=2\n", "s", std::nullopt, "d", 10, "name1\0na\0\0"s, 8},
    {"ListSizeTwo", "[abc]\n", std::nullopt, std::nullopt, "d", 2, "\0\0"s, 0},
    {"ListSizeOne", "[abc]\n", std::nullopt, std::nullopt, "d", 1, "\0"s, 0},
    {"ListSizeZero", "[abc]\n", std::nullopt, std::nullopt, "d", 0, "", 0},
};

struct LineEnd {
    const char* name;
    const char* bytes;
};
const LineEnd kLineEnds[] = {{"CRLF", "\r\n"}, {"LF", "\n"}, {"CR", "\r"}};

// Rows print as their names in test listings.
void PrintTo(const ReadRow& row, std::ostream* os) { *os << row.name; }
void PrintTo(const LineEnd& lineEnd, std::ostream* os) { *os << lineEnd.name; }

constexpr char kUntouched = '\xA5';

std::optional<std::string_view> View(const Name& name) {
    return name ? std::optional<std::string_view>(*name) : std::nullopt;
}

class IniReadTest : public ::testing::TestWithParam<std::tuple<ReadRow, LineEnd>> {
protected:
    TempFolder m_folder;
    IniProfile m_profile;
};

TEST_P(IniReadTest, CopiesExactlyTheExpectedBytes) {
    const auto& [row, lineEnd] = GetParam();
    std::string bytes;
    for (const char c : row.file) {
        if (c == '\n') {
            bytes += lineEnd.bytes;
        } else {
            bytes += c;
        }
    }
    const std::string path = m_folder.Write("test.ini", bytes);

    std::vector<char> buffer(row.size + 16, kUntouched);
    const std::size_t result = m_profile.GetString(path, View(row.section), View(row.key),
                                                   row.defaultValue, buffer.data(), row.size);

    EXPECT_EQ(result, row.result);
    EXPECT_EQ(std::string(buffer.data(), row.written.size()), row.written);
    EXPECT_TRUE(std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(row.written.size()),
                            buffer.end(), [](char c) { return c == kUntouched; }))
        << "a byte past the written ones was changed";
}

INSTANTIATE_TEST_SUITE_P(Rows, IniReadTest,
                         ::testing::Combine(::testing::ValuesIn(kReadRows),
                                            ::testing::ValuesIn(kLineEnds)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

class IniProfileTest : public ::testing::Test {
protected:
    std::string ReadString(const std::string& path, Name section, Name key,
                           std::string_view defaultValue = "d") {
        char buffer[256];
        const std::size_t n = m_profile.GetString(path, View(section), View(key), defaultValue,
                                                  buffer, sizeof buffer);
        return std::string(buffer, n);
    }

    TempFolder m_folder;
    IniProfile m_profile;
};

TEST_F(IniProfileTest, MissingFileGivesDefaults) {
    const std::string path = m_folder.File("missing.ini");
    EXPECT_EQ(ReadString(path, "s", "k", "  d  "), "  d");
    EXPECT_EQ(ReadString(path, "s", std::nullopt), "d");
    EXPECT_EQ(ReadString(path, std::nullopt, std::nullopt), "d");
    EXPECT_EQ(m_profile.GetInt(path, "s", "k", 7), 7u);
    unsigned char data[2] = {1, 2};
    EXPECT_FALSE(m_profile.GetStruct(path, "s", "k", data, sizeof data));
    EXPECT_EQ(data[0], 1);
}

TEST_F(IniProfileTest, FileChangedByAnotherProgramIsReadAfresh) {
    const std::string path = m_folder.Write("test.ini", "[s]\r\nk=1\r\n");
    EXPECT_EQ(ReadString(path, "s", "k"), "1");
    m_folder.Write("test.ini", "[s]\r\nk=2\r\n");
    EXPECT_EQ(ReadString(path, "s", "k"), "2");
    EXPECT_EQ(m_profile.GetInt(path, "s", "k", 0), 2u);
}

// ---------------------------------------------------------------------------
// Numbers

struct IntRow {
    const char* name;
    std::string file;
    int defaultValue;
    std::uint32_t expected;
};

void PrintTo(const IntRow& row, std::ostream* os) { *os << row.name; }

const IntRow kIntRows[] = {
    {"StopsAtFirstNonDigit", "[s]\nk=42A9", 7, 42},
    {"PlusSign", "[s]\nk=+1", 7, 1},
    {"LetterFirstIsZeroNotDefault", "[s]\nk=B42", 7, 0},
    {"SignAloneIsZero", "[s]\nk=-", 7, 0},
    {"Trimmed", "[s]\nk= 12 ", 7, 12},
    {"Quoted", "[s]\nk=\"12\"", 7, 12},
    {"MinusOneWraps", "[s]\nk=-1", 7, 4294967295u},
    {"LargestUnsigned", "[s]\nk=4294967295", 7, 4294967295u},
    {"OverflowWraps", "[s]\nk=4294967296", 7, 0},
    {"OverflowWrapsPastZero", "[s]\nk=4294967298", 7, 2},
    {"EmptyValueGivesDefault", "[s]\nk=", 7, 7},
    {"MissingKeyGivesDefault", "[s]\nj=1", 7, 7},
    {"MissingSectionGivesDefault", "[t]\nk=1", 7, 7},
    {"NegativeDefaultAsUnsigned", "[s]\nj=1", -5, 4294967291u},
};

class IniIntTest : public ::testing::TestWithParam<IntRow> {};

TEST_P(IniIntTest, ReadsUnsigned32Bit) {
    TempFolder folder;
    IniProfile profile;
    const std::string path = folder.Write("test.ini", GetParam().file);
    EXPECT_EQ(profile.GetInt(path, "s", "k", GetParam().defaultValue), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, IniIntTest, ::testing::ValuesIn(kIntRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniProfileTest, ReadIntGivesMinusOneAsInt) {
    const std::string path = m_folder.Write("test.ini", "[s]\r\nk=-1\r\n");
    EXPECT_EQ(m_profile.ReadInt(path, "s", "k", 0), -1);
}

// ---------------------------------------------------------------------------
// Writing

struct Call {
    Name section;
    Name key;
    Name value;
};

struct WriteRow {
    const char* name;
    std::optional<std::string> before;  // nullopt: no file yet
    std::vector<Call> calls;            // each must succeed
    std::string after;
};

void PrintTo(const WriteRow& row, std::ostream* os) { *os << row.name; }

const std::optional<std::string> kNoFile;

const WriteRow kWriteRows[] = {
    {"CreatesMissingFile", kNoFile, {{"App", "key", "value"}}, "[App]\r\nkey=value\r\n"},
    {"NewSectionAtEndWithoutBlankLine",
     "[a]\r\nx=1\r\n",
     {{"b", "k", "v"}},
     "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
    {"NewSectionAfterTrailingBlankLines",
     "[a]\nx=1\n\n\n",
     {{"b", "k", "v"}},
     "[a]\nx=1\n\n\n[b]\r\nk=v\r\n"},
    {"NewSectionEndsUnendedLastLine", "[a]\nx=1", {{"b", "k", "v"}}, "[a]\nx=1\r\n[b]\r\nk=v\r\n"},
    {"KeysBeforeFirstHeaderAreNoSection", "k=v\n", {{"s", "k", "1"}}, "k=v\n[s]\r\nk=1\r\n"},
    {"NewKeyAfterLastKeyBeforeTrailingComments",
     "[s]\r\nb=1\r\n;c\r\n",
     {{"s", "a", "2"}},
     "[s]\r\nb=1\r\na=2\r\n;c\r\n"},
    {"NewKeyBeforeBlankLinesOfItsSection",
     "[s]\nb=1\n\ntext\n[t]\nx=1\n",
     {{"s", "a", "2"}},
     "[s]\nb=1\na=2\r\n\ntext\n[t]\nx=1\n"},
    {"NewKeyRightAfterHeaderOfKeylessSection",
     "[s]\r\n;c\r\n[t]\r\n",
     {{"s", "a", "1"}},
     "[s]\r\na=1\r\n;c\r\n[t]\r\n"},
    {"NewKeyEndsUnendedHeader", "[s]", {{"s", "a", "1"}}, "[s]\r\na=1\r\n"},
    {"NewKeyEndsUnendedLastKey", "[s]\nb=1", {{"s", "a", "1"}}, "[s]\nb=1\r\na=1\r\n"},
    {"NewKeyKeepsMixedLineEnds", "[s]\rb=1\n;c\r\n", {{"s", "a", "1"}}, "[s]\rb=1\na=1\r\n;c\r\n"},
    {"NewNamesUseCallersSpelling",
     "[Sec]\r\n",
     {{"SEC", "NewKey", "1"}, {"Other", "Key", "2"}},
     "[Sec]\r\nNewKey=1\r\n[Other]\r\nKey=2\r\n"},
    {"SpacesAroundNamesIgnored",
     "[s]\r\nk=1\r\n",
     {{" s ", " k ", "2"}, {" t ", " j ", "3"}},
     "[s]\r\nk=2\r\n[t]\r\nj=3\r\n"},
    {"ReplaceKeepsLineAndKeySpelling",
     "[s]\r\nKey=1\r\nz=0\r\n",
     {{"S", "KEY", "2"}},
     "[s]\r\nKey=2\r\nz=0\r\n"},
    {"ReplaceRewritesSpacedLineKeepsOthers",
     "; head\r\n\r\n[s]\n  k = v  \n  j = w\n",
     {{"s", "k", "x"}},
     "; head\r\n\r\n[s]\nk=x\n  j = w\n"},
    {"ReplaceEndsUnendedLastLine", "[s]\nk=1", {{"s", "k", "2"}}, "[s]\nk=2\r\n"},
    {"SameValueLeavesLineAsItIs", "[s]\n  k = v", {{"s", "k", "v"}}, "[s]\n  k = v"},
    {"ValueWrittenWithoutTrimming", "[s]\r\nk=1\r\n", {{"s", "k", " v "}}, "[s]\r\nk= v \r\n"},
    {"ReplaceInFirstOfDuplicateSections",
     "[s]\nk=1\n[s]\nk=2\n",
     {{"s", "k", "3"}, {"s", "n", "4"}},
     "[s]\nk=3\nn=4\r\n[s]\nk=2\n"},
    {"ReplaceFirstOfDuplicateKeys", "[s]\nk=1\nk=2\n", {{"s", "k", "3"}}, "[s]\nk=3\nk=2\n"},
    {"DeleteKey",
     "[s]\r\na=1\r\n;c\r\nb=2\r\n",
     {{"s", "a", std::nullopt}},
     "[s]\r\n;c\r\nb=2\r\n"},
    {"DeletingLastKeyLeavesHeader",
     "[s]\r\na=1\r\n[t]\r\n",
     {{"s", "a", std::nullopt}},
     "[s]\r\n[t]\r\n"},
    {"DeleteUnendedLastKey", "[s]\na=1\nb=2", {{"s", "b", std::nullopt}}, "[s]\na=1\n"},
    {"DeleteMissingKeyChangesNothing",
     "[s]\r\na=1",
     {{"s", "x", std::nullopt}, {"t", "a", std::nullopt}},
     "[s]\r\na=1"},
    {"DeleteSectionKeepsItsComments",
     "[a]\r\nx=1\r\n[s]\r\n;note\r\nk=1\r\n\r\ntext\r\nj=2\r\n[t]\r\ny=1\r\n",
     {{"S", std::nullopt, std::nullopt}},
     "[a]\r\nx=1\r\n;note\r\n\r\ntext\r\n[t]\r\ny=1\r\n"},
    {"DeleteSectionRemovesFirstCopyOnly",
     "[s]\nk=1\n[s]\nk=2\n",
     {{"s", std::nullopt, std::nullopt}},
     "[s]\nk=2\n"},
    {"DeleteUnendedLastSection",
     "[a]\nx=1\n[s]\nk=1",
     {{"s", std::nullopt, std::nullopt}},
     "[a]\nx=1\n"},
    {"DeleteMissingSectionChangesNothing",
     "[a]\nx=1",
     {{"s", std::nullopt, std::nullopt}},
     "[a]\nx=1"},
};

class IniWriteTest : public ::testing::TestWithParam<WriteRow> {};

TEST_P(IniWriteTest, GivesExactBytes) {
    const WriteRow& row = GetParam();
    TempFolder folder;
    IniProfile profile;
    const std::string path = folder.File("test.ini");
    if (row.before) folder.Write("test.ini", *row.before);
    for (const Call& call : row.calls) {
        EXPECT_TRUE(
            profile.WriteString(path, View(call.section), View(call.key), View(call.value)));
    }
    EXPECT_EQ(folder.Read("test.ini"), row.after);
    // The temporary file of an atomic replace must not stay behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

INSTANTIATE_TEST_SUITE_P(Rows, IniWriteTest, ::testing::ValuesIn(kWriteRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniProfileTest, MissingSectionFailsAndCreatesNothing) {
    const std::string missing = m_folder.File("missing.ini");
    EXPECT_FALSE(m_profile.WriteString(missing, std::nullopt, "k", "v"));
    EXPECT_FALSE(m_profile.WriteString(missing, std::nullopt, std::nullopt, std::nullopt));
    EXPECT_EQ(m_folder.Read("missing.ini"), "<missing>");

    const std::string path = m_folder.Write("test.ini", "[s]\r\nk=1\r\n");
    EXPECT_FALSE(m_profile.WriteString(path, std::nullopt, "k", "v"));
    EXPECT_EQ(m_folder.Read("test.ini"), "[s]\r\nk=1\r\n");
}

TEST_F(IniProfileTest, DeletingFromMissingFileSucceedsWithoutCreatingIt) {
    const std::string missing = m_folder.File("missing.ini");
    EXPECT_TRUE(m_profile.WriteString(missing, "s", "k", std::nullopt));
    EXPECT_TRUE(m_profile.WriteString(missing, "s", std::nullopt, std::nullopt));
    EXPECT_EQ(m_folder.Read("missing.ini"), "<missing>");
}

TEST_F(IniProfileTest, MissingFolderMakesWritingFail) {
    const std::string path = m_folder.File("no/such/folder/test.ini");
    EXPECT_FALSE(m_profile.WriteString(path, "s", "k", "v"));
    EXPECT_FALSE(m_profile.WriteString(path, "s", "k", std::nullopt));
    EXPECT_FALSE(m_profile.WriteStruct(path, "s", "k", "x", 1));

    const std::string underFile = m_folder.Write("plain", "") + "/test.ini";
    EXPECT_FALSE(m_profile.WriteString(underFile, "s", "k", "v"));
}

TEST_F(IniProfileTest, WritesFromTwoThreadsLoseNothing) {
    const std::string path = m_folder.File("test.ini");
    constexpr int kWrites = 25;
    auto writer = [&](const std::string& section) {
        for (int i = 0; i < kWrites; ++i) {
            EXPECT_TRUE(m_profile.WriteString(path, section, "k" + std::to_string(i), "v"));
        }
    };
    std::thread first(writer, "a");
    std::thread second(writer, "b");
    first.join();
    second.join();
    for (const char* section : {"a", "b"}) {
        for (int i = 0; i < kWrites; ++i) {
            EXPECT_EQ(ReadString(path, section, "k" + std::to_string(i)), "v") << section << i;
        }
    }
}

TEST_F(IniProfileTest, WrittenValuesReadBackTrimmedAndUnquoted) {
    const std::string path = m_folder.File("test.ini");
    ASSERT_TRUE(m_profile.WriteString(path, "s", "spaced", " v "));
    ASSERT_TRUE(m_profile.WriteString(path, "s", "quoted", "\" v \""));
    EXPECT_EQ(ReadString(path, "s", "spaced"), "v");
    EXPECT_EQ(ReadString(path, "s", "quoted"), " v ");
    EXPECT_EQ(ReadString(path, "s", std::nullopt), "spaced\0quoted\0"s);
}

TEST_F(IniProfileTest, WriteKeysSetsASectionInOrderInOneReplace) {
    const std::string path = m_folder.Write("test.ini", "[s]\r\nb=old\r\n[t]\r\nx=1\r\n");
    ASSERT_TRUE(m_profile.WriteKeys(path, "s", {{"a", "1"}, {"b", "2"}, {"c", "3"}}));
    EXPECT_EQ(m_folder.Read("test.ini"), "[s]\r\nb=2\r\na=1\r\nc=3\r\n[t]\r\nx=1\r\n");
    ASSERT_TRUE(m_profile.WriteKeys(m_folder.File("new.ini"), "n", {{"k", "v"}, {"l", ""}}));
    EXPECT_EQ(m_folder.Read("new.ini"), "[n]\r\nk=v\r\nl=\r\n");
}

TEST_F(IniProfileTest, AReadOnlyFileIsNeitherChangedNorReplaced) {
    const std::string path = m_folder.Write("test.ini", "[s]\r\nk=1\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    EXPECT_FALSE(m_profile.WriteString(path, "s", "k", "2"));
    EXPECT_FALSE(m_profile.WriteString(path, "s", std::nullopt, std::nullopt));
    EXPECT_FALSE(m_profile.WriteKeys(path, "s", {{"k", "2"}, {"l", "3"}}));
    EXPECT_EQ(m_folder.Read("test.ini"), "[s]\r\nk=1\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

// ---------------------------------------------------------------------------
// Structures

class IniStructTest : public IniProfileTest {
protected:
    std::string Text() { return ReadString(m_folder.File("test.ini"), "s", "k"); }
    void SetText(const std::string& text) {
        ASSERT_TRUE(m_profile.WriteString(m_folder.File("test.ini"), "s", "k", text));
    }
    bool Read(std::vector<unsigned char>& data) {
        return m_profile.GetStruct(m_folder.File("test.ini"), "s", "k", data.data(), data.size());
    }
};

TEST_F(IniStructTest, WritesUpperCaseHexAndChecksum) {
    const std::string path = m_folder.File("test.ini");
    ASSERT_TRUE(m_profile.WriteStruct(path, "s", "k", "abacus", 7));
    ASSERT_TRUE(m_profile.WriteStruct(path, "s", "empty", "", 0));
    const unsigned char high[] = {0xFF, 0xFE};
    ASSERT_TRUE(m_profile.WriteStruct(path, "s", "high", high, sizeof high));
    EXPECT_EQ(m_folder.Read("test.ini"),
              "[s]\r\nk=616261637573006F\r\nempty=00\r\nhigh=FFFEFD\r\n");
}

TEST_F(IniStructTest, RandomBuffersRoundTrip) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    // A real buffer even for size 0: a null one would delete the key.
    std::array<unsigned char, 64> data{};
    for (std::size_t size = 0; size <= data.size(); ++size) {
        for (auto& b : data) b = static_cast<unsigned char>(byte(random));
        ASSERT_TRUE(m_profile.WriteStruct(m_folder.File("test.ini"), "s", "k", data.data(), size));

        const std::string text = Text();
        EXPECT_EQ(text.size(), 2 * size + 2);
        EXPECT_TRUE(std::none_of(text.begin(), text.end(), [](char c) {
            return std::islower(static_cast<unsigned char>(c));
        })) << text;
        std::vector<unsigned char> back(size, 0xEE);
        EXPECT_TRUE(Read(back)) << "size " << size;
        EXPECT_TRUE(std::equal(back.begin(), back.end(), data.begin())) << "size " << size;
    }
}

TEST_F(IniStructTest, AcceptsOnlyExactValidText) {
    const std::vector<unsigned char> data = {0x00, 0x7F, 0x80, 0xFF, 0xA5, 0x5A, 0x10, 0x99};
    ASSERT_TRUE(
        m_profile.WriteStruct(m_folder.File("test.ini"), "s", "k", data.data(), data.size()));
    const std::string good = Text();
    std::vector<unsigned char> back(data.size(), 0xEE);
    const std::vector<unsigned char> untouched = back;

    std::string lower = good;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    SetText(lower);
    EXPECT_TRUE(Read(back));
    EXPECT_EQ(back, data);
    back = untouched;

    // Any single changed digit breaks the checksum, be it in a byte or in the sum itself.
    for (std::size_t i = 0; i < good.size(); ++i) {
        std::string bad = good;
        bad[i] = good[i] == '3' ? '4' : '3';
        SetText(bad);
        EXPECT_FALSE(Read(back)) << bad;
    }
    for (const std::string& bad : {good.substr(1), good + "0", good.substr(0, good.size() - 2),
                                   good.substr(0, 4) + "G" + good.substr(5)}) {
        SetText(bad);
        EXPECT_FALSE(Read(back)) << bad;
    }
    EXPECT_EQ(back, untouched) << "a failed read must leave the buffer as it was";

    SetText(good);
    std::vector<unsigned char> shorter(data.size() - 1);
    std::vector<unsigned char> longer(data.size() + 1);
    EXPECT_FALSE(Read(shorter));
    EXPECT_FALSE(Read(longer));
}

TEST_F(IniStructTest, NullDataDeletesTheKey) {
    const std::string path = m_folder.Write("test.ini", "[s]\r\nk=00\r\nj=1\r\n");
    EXPECT_TRUE(m_profile.WriteStruct(path, "s", "k", nullptr, 4));
    EXPECT_EQ(m_folder.Read("test.ini"), "[s]\r\nj=1\r\n");
}

}  // namespace
