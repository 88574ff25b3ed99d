#include "publish/CHTMLWriter.h"

#include <cstdint>

#include "app/StationView.h"
#include "model/CSensoren.h"
#include "model/MissingValue.h"
#include "model/OutputList.h"
#include "model/StationSettings.h"
#include "model/TextNumbers.h"
#include "platform/Clock.h"
#include "platform/FileStore.h"
#include "platform/FileSystem.h"
#include "platform/ProgramPaths.h"
#include "platform/Ui.h"
#include "publish/HtmlSettings.h"
#include "storage/CAktuell.h"
#include "storage/DataFiles.h"
#include "storage/FailureEpisode.h"
#include "storage/SensorSet.h"

namespace {

constexpr std::uint32_t kColourPlace = 0;
constexpr std::uint32_t kColourCause = 0x312F97;
constexpr std::uint32_t kColourSystemText = 0x00FF00;

constexpr const char* kHead =
    "<html>\n"
    "<title>Aktuelle Wetterdaten</title>\n"
    "<body bgcolor=\"#FFFF8C\">\n"
    "<div id=\"DataBox\" style=\"float: left; width: 500px;\" align=center>\n";
constexpr const char* kDefaultTitle =
    "<title><font size=\"4\"><strong>Aktuelle Defaultdatenerfassung</strong></font></title>"
    "<br><br>\n"
    "<br><br>\n";
constexpr const char* kTableStart =
    "<table border width=50% align=center>\n"
    "<br>\n"
    "<tr><td><font size=\"4\"><strong>Sensor</strong></td><td><strong>Wert</strong></font></td>"
    "</tr>\n";
constexpr const char* kDateFormat =
    "Datenerfassung<br>am: %d.%m.%y um: %Hh : %Mm : %Ss<br><br><br>\n";
constexpr const char* kDataEnd = "</table>\n</div>\n";
constexpr const char* kIntroStart =
    "<div id=\"IntroBox\" style=\"float: left; margin-left: 15px; \">\n";
constexpr const char* kPageEnd = "</div>\n</html>\n";

constexpr std::string_view kLocationMarker = "[SectionLocation]";
constexpr std::string_view kSensorsMarker = "[SectionSensors]";
constexpr std::string_view kPictureMarker = "[SectionPicture]";
constexpr std::string_view kTextMarker = "[SectionText]";

// Shown at most once at a time, whichever station's page failed.
std::atomic<bool> g_pageMessageShowing{false};

bool Contains(std::string_view line, std::string_view text) {
    return line.find(text) != std::string_view::npos;
}

std::string DateLine(const CHTMLWriter::CurrentValues& values) {
    return FormatLocalTime(values.front()->m_time, kDateFormat);
}

void AppendRow(std::string& page, const CAktuell& value) {
    const CSensoren* sensor = value.m_sensor;
    const std::string name = sensor != nullptr ? sensor->m_name : std::string();
    const std::string unit = sensor != nullptr ? sensor->m_unit : std::string();
    // The data files use the same fallback for a value without sensor definition.
    const int decimals = sensor != nullptr ? sensor->m_decimals : 2;
    page += "<tr>\n<td><nobr><font size=\"4\"><strong>" + name + "</strong></font></nobr></td>\n";
    if (!IsValidValue(value.m_value)) {
        page += "<td><nobr><font size=\"4\">---- " + unit + "</font></nobr></td>\n";
    } else {
        page += "<td><nobr><font size=\"4\"><strong>" +
                TextNumbers::FormatFixed(value.m_value, decimals) + " " + unit +
                "</strong></font></nobr></td>\n";
    }
    page += "</tr>\n";
}

// A sensor is chosen when its name stands in a line of HTML.ini before the
// first empty line and the "[SectionText]" line; the location counts too.
bool IsSelected(const std::vector<std::string_view>& lines, const CAktuell& value) {
    if (value.m_sensor == nullptr || value.m_sensor->m_name.empty()) return false;
    for (const std::string_view line : lines) {
        if (line.empty() || line == kTextMarker) return false;
        if (Contains(line, value.m_sensor->m_name)) return true;
    }
    return false;
}

}  // namespace

CHTMLWriter::CHTMLWriter(FileStore& files, const ProgramPaths& paths, Ui& ui,
                         const std::atomic<bool>& initialisationRunning,
                         FailureEpisode& pageFailure)
    : m_files(files),
      m_paths(paths),
      m_ui(ui),
      m_initialisationRunning(initialisationRunning),
      m_pageFailure(pageFailure) {}

std::string CHTMLWriter::PageFileName(const std::string& dataFolder, const std::string& storageId) {
    if (storageId.empty()) return dataFolder + "/AktWert.Html";
    return dataFolder + "/AktWert." + storageId + ".html";
}

std::string CHTMLWriter::DefaultPage(const CurrentValues& values) {
    std::string page = kHead;
    page += kDefaultTitle;
    page += kTableStart;
    if (!values.empty()) page += DateLine(values);
    for (const auto& value : values) AppendRow(page, *value);
    page += kDataEnd;
    page += "</html>\n";
    return DataFiles::TextModeBytes(page);
}

std::string CHTMLWriter::ConfiguredPage(std::string_view config, const CurrentValues& values) {
    const std::vector<std::string_view> lines = HtmlIniLines(config);
    std::string page = kHead;

    std::size_t next = 0;
    while (next < lines.size() && !Contains(lines[next], kLocationMarker)) ++next;
    for (++next; next < lines.size(); ++next) {
        const std::size_t marker = lines[next].find(kSensorsMarker);
        if (marker != std::string_view::npos) {
            // Written without a final line break, the location's last line
            // carries the marker; it is still part of the location.
            const std::string_view before = lines[next].substr(0, marker);
            if (before.find_first_not_of('\r') != std::string_view::npos) {
                page += before;
                page += "<br>\n";
            }
            break;
        }
        page += lines[next];
        page += "<br>\n";
    }

    if (!values.empty()) {
        page += "<br><br>\n";
        page += DateLine(values);
        page += kTableStart;
    }
    for (const auto& value : values)
        if (IsSelected(lines, *value)) AppendRow(page, *value);
    page += kDataEnd;

    page += kIntroStart;
    next = 0;
    while (next < lines.size() && !Contains(lines[next], kPictureMarker) && !lines[next].empty())
        ++next;
    // Without the picture section the page has neither picture nor text.
    if (next < lines.size() && Contains(lines[next], kPictureMarker)) {
        ++next;
        if (next < lines.size()) {
            const std::string_view picture = lines[next++];
            if (picture.size() > 3) {
                page += "<img src=\"";
                page += picture;
                page += "\" alt=\"NORVIKA HTML Anzeige\">\n";
            }
        }
        page += "<br><br>\n";
        ++next;  // the "[SectionText]" line
        for (; next < lines.size(); ++next) {
            page += lines[next];
            page += "<br>\n";
        }
    }
    page += kPageEnd;
    return DataFiles::TextModeBytes(page);
}

bool CHTMLWriter::WritePage(const StationView& station) {
    if (m_initialisationRunning) return true;

    const CurrentValues& values = station.Sensors().CurrentValues();
    const HtmlIniBytes config = ReadHtmlIni(m_files, HtmlSettingsPath(m_paths));
    std::string page;
    if (config.missing) {
        page = DefaultPage(values);
    } else if (!config) {
        // The old page stays: better an older page than an empty one.
        ReportConfigError(config.error);
        return false;
    } else {
        page = ConfiguredPage(config.bytes, values);
    }

    // Replaced, never rewritten in place, so a web server reading it meanwhile
    // gets the old page or the new one. Not synced: the next record rewrites it.
    const FileStore::Result written = m_files.Replace(
        PageFileName(station.DataFolder(), station.Settings().storage.storageId), page, false);
    if (!written) {
        ReportPageError(written.error);
        return false;
    }
    m_pageFailure.Worked();
    return true;
}

void CHTMLWriter::ReportPageError(int error) {
    // A full disk fails the page with every record: news once, until a page is written again.
    if (!m_pageFailure.Failed()) return;
    const std::string text = FileSystem::SystemErrorText(error);
    OutputWrite("HtmlWriter::OpenFile1", kColourPlace);
    OutputWrite(text + " <==> NR: " + std::to_string(error), kColourCause);
    if (g_pageMessageShowing.exchange(true)) return;
    m_ui.MessageBox(text, m_paths.ProgramName(), MsgButtons::Ok, MsgIcon::Error);
    g_pageMessageShowing = false;
}

void CHTMLWriter::ReportConfigError(int error) {
    const std::string text = FileSystem::SystemErrorText(error);
    OutputWrite("HtmlWriter::OpenFile2", kColourPlace);
    OutputWrite(text + " <==> NR: " + std::to_string(error), kColourCause);
    OutputWrite(text, kColourSystemText);
}
