#pragma once

// DataList is the data table of a diagram view ("View list").

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/CDaten.h"
#include "platform/FileSystem.h"

// One single-value window of the view as the table sees it.
struct DataListWindow {
    std::string name;
    std::string unit;
    int decimals = 0;
    // The window's momentary series in momentary mode, else its file series;
    // null when it has neither.
    const std::vector<CDaten>* series = nullptr;
};

// The table: "Date" and "Time" of each point, then one column per window from
// the last window to the first. Row n holds the n-th point of every column;
// the rows and their dates and times come from the first column's series. A
// column with fewer points leaves its last cells empty, one with more points
// loses the surplus. Filling stops at a window without a series: its column
// and those after it stay empty (no rows at all when it is the first).
class DataList {
public:
    static constexpr int kColumnWidth = 100;
    static constexpr std::string_view kDefaultFileName = "Wetterdat.csv";
    static constexpr std::string_view kFileFilter =
        ".csv Datei (\"Komma getrennt\") (*.csv)|*.csv| .txt Datei (\"Tab getrennt\") "
        "(*.txt)|*.txt||";

    // `windows` in the view's display order.
    explicit DataList(std::span<const DataListWindow> windows);

    const std::vector<std::string>& Headers() const { return m_headers; }
    std::size_t RowCount() const { return m_rows.size(); }
    std::size_t ColumnCount() const { return m_headers.size(); }
    // As shown: values "%.*f %s" (with the unit), empty below -99000.
    const std::string& Cell(std::size_t row, std::size_t column) const;
    // As saved: values without their unit, dates and times whole.
    const std::string& SavedCell(std::size_t row, std::size_t column) const;

    // The file's separator by the extension of `path`: exactly "csv" gives
    // ",", exactly "txt" a tab, anything else (also "CSV") ":".
    static char SeparatorFor(std::string_view path);
    // The file's bytes: the header line, then one line per row; every field,
    // the last one too, is followed by the separator.
    std::string FileText(char separator) const;
    // Writes the file (the separator by its name); an existing file is
    // replaced whole or, on failure, left as it was. The error names errno.
    FileSystem::Result Save(const std::string& path) const;

private:
    struct Entry {
        std::string shown;
        std::string saved;
    };

    std::vector<std::string> m_headers;
    std::vector<std::vector<Entry>> m_rows;
};
