#include "display/DataList.h"

#include <algorithm>

#include "model/TextNumbers.h"
#include "platform/Clock.h"

namespace {

// Values below this are the missing value (-99999) or the station's invalid -999999.
constexpr float kNoValueBelow = -99000.0f;
constexpr std::size_t kTimeColumns = 2;

}  // namespace

DataList::DataList(std::span<const DataListWindow> windows) {
    m_headers = {"Date", "Time"};
    // The table shows the windows from the last to the first.
    std::vector<const DataListWindow*> columns;
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        columns.push_back(&*window);
        m_headers.push_back(window->name + window->unit);
    }

    // The first column decides the rows; a window without series there leaves none.
    if (columns.empty() || columns.front()->series == nullptr) return;
    const std::vector<CDaten>& rowPoints = *columns.front()->series;
    m_rows.assign(rowPoints.size(), std::vector<Entry>(m_headers.size()));
    for (std::size_t row = 0; row < rowPoints.size(); ++row) {
        const std::string date = FormatLocalTime(rowPoints[row].m_time, "%Y-%m-%d");
        const std::string time = FormatLocalTime(rowPoints[row].m_time, "%H:%M:%S");
        m_rows[row][0] = {date, date};
        m_rows[row][1] = {time, time};
    }

    for (std::size_t column = 0; column < columns.size(); ++column) {
        const DataListWindow& window = *columns[column];
        if (window.series == nullptr) break;
        const std::size_t filled = std::min(window.series->size(), m_rows.size());
        for (std::size_t row = 0; row < filled; ++row) {
            const float value = (*window.series)[row].m_value;
            if (value < kNoValueBelow) continue;
            // The saved cell is the number alone, even when a unit holds a space.
            std::string number = TextNumbers::FormatFixed(value, window.decimals);
            m_rows[row][kTimeColumns + column] = {number + " " + window.unit, std::move(number)};
        }
    }
}

const std::string& DataList::Cell(std::size_t row, std::size_t column) const {
    return m_rows.at(row).at(column).shown;
}

const std::string& DataList::SavedCell(std::size_t row, std::size_t column) const {
    return m_rows.at(row).at(column).saved;
}

char DataList::SeparatorFor(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
    if (extension == "csv") return ',';
    if (extension == "txt") return '\t';
    return ':';
}

std::string DataList::FileText(char separator) const {
    std::string text;
    for (const std::string& header : m_headers) {
        text += header;
        text += separator;
    }
    text += '\n';
    for (const std::vector<Entry>& row : m_rows) {
        for (const Entry& cell : row) {
            text += cell.saved;
            text += separator;
        }
        text += '\n';
    }
    return text;
}

FileSystem::Result DataList::Save(const std::string& path) const {
    return FileSystem::ReplaceFile(path, FileText(SeparatorFor(path)));
}
