#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "UtcTime.h"
#include "display/DataList.h"

namespace {

constexpr float kMissing = -99999.0f;

std::vector<CDaten> Series(std::time_t start, std::vector<float> values) {
    std::vector<CDaten> points;
    for (std::size_t i = 0; i < values.size(); ++i)
        points.emplace_back(start + static_cast<std::time_t>(i) * 300, values[i]);
    return points;
}

std::vector<std::string> Row(const DataList& table, std::size_t row) {
    std::vector<std::string> cells;
    for (std::size_t column = 0; column < table.ColumnCount(); ++column)
        cells.push_back(table.Cell(row, column));
    return cells;
}

// Lines and fields of a saved file, each field ended by `separator`.
std::vector<std::vector<std::string>> ParseFile(const std::string& bytes, char separator) {
    std::vector<std::vector<std::string>> lines(1);
    std::string field;
    for (char c : bytes) {
        if (c == separator) {
            lines.back().push_back(field);
            field.clear();
        } else if (c == '\n') {
            EXPECT_TRUE(field.empty()) << "every field ends with the separator";
            lines.emplace_back();
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(lines.back().empty() && field.empty()) << "the file ends with a line break";
    lines.pop_back();
    return lines;
}

class DataListTest : public ::testing::Test {
protected:
    void SetUp() override { UseUtcZone(); }

    const std::time_t m_start = Utc(2024, 3, 9, 23, 55);
    // Display order: pressure first, temperature second.
    std::vector<CDaten> m_pressure = Series(m_start, {1013.24f, 1013.5f, kMissing});
    std::vector<CDaten> m_temperature = Series(m_start, {-2.04f, -1.96f});
};

TEST_F(DataListTest, ColumnsRunFromTheLastWindowToTheFirst) {
    const DataListWindow windows[] = {{"Luftdruck", "hPa", 1, &m_pressure},
                                      {"Temperatur",
                                       "\xB0"
                                       "C",
                                       2, &m_temperature}};
    const DataList table(windows);
    EXPECT_EQ(table.Headers(), (std::vector<std::string>{"Date", "Time",
                                                         "Temperatur\xB0"
                                                         "C",
                                                         "LuftdruckhPa"}));
    // Rows come from the first column's series: the temperature has two points.
    ASSERT_EQ(table.RowCount(), 2u);
    EXPECT_EQ(Row(table, 0), (std::vector<std::string>{"2024-03-09", "23:55:00",
                                                       "-2.04 \xB0"
                                                       "C",
                                                       "1013.2 hPa"}));
    EXPECT_EQ(Row(table, 1), (std::vector<std::string>{"2024-03-10", "00:00:00",
                                                       "-1.96 \xB0"
                                                       "C",
                                                       "1013.5 hPa"}));
}

TEST_F(DataListTest, ShorterColumnsLeaveEmptyCellsAndMissingValuesAreEmpty) {
    const DataListWindow windows[] = {{"Temperatur", "C", 1, &m_temperature},
                                      {"Luftdruck", "hPa", 1, &m_pressure}};
    const DataList table(windows);
    ASSERT_EQ(table.RowCount(), 3u);
    EXPECT_EQ(Row(table, 1),
              (std::vector<std::string>{"2024-03-10", "00:00:00", "1013.5 hPa", "-2.0 C"}));
    EXPECT_EQ(Row(table, 2), (std::vector<std::string>{"2024-03-10", "00:05:00", "", ""}))
        << "-99999 and no point at all";
}

TEST_F(DataListTest, FillingStopsAtAWindowWithoutSeries) {
    // Columns: temperature, wind (no series), pressure.
    const DataListWindow windows[] = {{"Luftdruck", "hPa", 1, &m_pressure},
                                      {"Wind", "m/s", 1, nullptr},
                                      {"Temperatur", "C", 1, &m_temperature}};
    const DataList table(windows);
    ASSERT_EQ(table.ColumnCount(), 5u);
    ASSERT_EQ(table.RowCount(), 2u);
    EXPECT_EQ(Row(table, 0), (std::vector<std::string>{"2024-03-09", "23:55:00", "-2.0 C", "", ""}))
        << "the pressure after the wind stays empty";
}

TEST_F(DataListTest, WithoutSeriesInTheFirstColumnThereAreNoRows) {
    const DataListWindow windows[] = {{"Luftdruck", "hPa", 1, &m_pressure},
                                      {"Wind", "m/s", 1, nullptr}};
    const DataList table(windows);
    EXPECT_EQ(table.ColumnCount(), 4u);
    EXPECT_EQ(table.RowCount(), 0u)
        << "rows come from the first column, not the first with a series";
}

TEST_F(DataListTest, NoWindowsOrNoSeriesGiveHeadersOnly) {
    const DataList empty{std::span<const DataListWindow>()};
    EXPECT_EQ(empty.RowCount(), 0u);
    EXPECT_EQ(empty.FileText(','), "Date,Time,\n");

    const DataListWindow windows[] = {{"Wind", "m/s", 1, nullptr}};
    const DataList noSeries(windows);
    EXPECT_EQ(noSeries.RowCount(), 0u);
    EXPECT_EQ(noSeries.FileText('\t'), "Date\tTime\tWindm/s\t\n");
}

TEST(DataListSeparatorTest, FollowsTheExactExtension) {
    const struct {
        const char* path;
        char separator;
    } cases[] = {{"/home/x/Wetterdat.csv", ','},
                 {"Wetterdat.txt", '\t'},
                 {"Daten.CSV", ':'},
                 {"Daten.Txt", ':'},
                 {"Daten", ':'},
                 {"Daten.csv.bak", ':'},
                 {"/data.csv/Daten", ':'},
                 {"Daten.", ':'}};
    for (const auto& c : cases) EXPECT_EQ(DataList::SeparatorFor(c.path), c.separator) << c.path;
}

TEST_F(DataListTest, SavedFileHoldsNumbersWithoutUnitsByteForByte) {
    const DataListWindow windows[] = {{"Luftdruck", "hPa", 1, &m_pressure},
                                      {"Wind", "km h", 0, &m_pressure}};
    const DataList table(windows);
    TempFolder folder;
    const std::string path = folder.File("Wetterdat.csv");
    ASSERT_TRUE(table.Save(path));
    const std::string bytes = folder.Read("Wetterdat.csv");
    EXPECT_EQ(bytes,
              "Date,Time,Windkm h,LuftdruckhPa,\n"
              "2024-03-09,23:55:00,1013,1013.2,\n"
              "2024-03-10,00:00:00,1014,1013.5,\n"
              "2024-03-10,00:05:00,,,\n");

    // Read back, every field is the table's saved cell, and saving again gives the same bytes.
    const auto lines = ParseFile(bytes, ',');
    ASSERT_EQ(lines.size(), table.RowCount() + 1);
    EXPECT_EQ(lines[0], table.Headers());
    for (std::size_t row = 0; row < table.RowCount(); ++row)
        for (std::size_t column = 0; column < table.ColumnCount(); ++column)
            EXPECT_EQ(lines[row + 1].at(column), table.SavedCell(row, column));
    ASSERT_TRUE(table.Save(path));
    EXPECT_EQ(folder.Read("Wetterdat.csv"), bytes);

    // Upper case is no "csv": ":" separates, the same one the times hold.
    ASSERT_TRUE(table.Save(folder.File("Daten.CSV")));
    std::string colons = bytes;
    std::replace(colons.begin(), colons.end(), ',', ':');
    EXPECT_EQ(folder.Read("Daten.CSV"), colons);
    ASSERT_TRUE(table.Save(folder.File("Wetter.txt")));
    EXPECT_EQ(ParseFile(folder.Read("Wetter.txt"), '\t'), lines);
}

TEST_F(DataListTest, AnUnwritableTargetReportsTheSystemsErrorAndKeepsTheOldFile) {
    const DataListWindow windows[] = {{"Luftdruck", "hPa", 1, &m_pressure}};
    const DataList table(windows);
    TempFolder folder;

    const FileSystem::Result missingFolder = table.Save(folder.File("gone/Wetterdat.csv"));
    EXPECT_EQ(missingFolder.error, ENOENT);
    EXPECT_FALSE(FileSystem::SystemErrorText(missingFolder.error).empty());

    std::filesystem::create_directory(folder.File("taken.csv"));
    folder.Write("taken.csv/keep", "x");
    EXPECT_FALSE(table.Save(folder.File("taken.csv"))) << "a folder of that name";
    EXPECT_EQ(folder.Read("taken.csv/keep"), "x");
}

}  // namespace
