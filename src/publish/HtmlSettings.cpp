#include "publish/HtmlSettings.h"

#include <algorithm>
#include <cerrno>
#include <memory>

#include "model/CSensoren.h"
#include "platform/ProgramPaths.h"
#include "storage/CAktuell.h"

namespace {

constexpr std::string_view kLocationMarker = "[SectionLocation]";
constexpr std::string_view kSensorsMarker = "[SectionSensors]";
constexpr std::string_view kPictureMarker = "[SectionPicture]";
constexpr std::string_view kTextMarker = "[SectionText]";
constexpr std::string_view kAnyMarker = "[Section";

using Lines = std::vector<std::string_view>;

// A field never ends in a CR: files written through a text-mode stream have CR CR LF.
std::string_view WithoutCrs(std::string_view line) {
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// The lines after the first line holding `marker`, up to the next line holding "[Section".
Lines SectionLines(const Lines& lines, std::string_view marker) {
    Lines section;
    auto line = std::find_if(lines.begin(), lines.end(), [&](std::string_view l) {
        return l.find(marker) != std::string_view::npos;
    });
    if (line == lines.end()) return section;
    for (++line; line != lines.end(); ++line) {
        const std::size_t next = line->find(kAnyMarker);
        if (next != std::string_view::npos) {
            // A text without a final line break shares its last line with the next marker.
            const std::string_view before = WithoutCrs(line->substr(0, next));
            if (!before.empty()) section.push_back(before);
            break;
        }
        section.push_back(WithoutCrs(*line));
    }
    return section;
}

std::string EachFollowedByCrLf(const Lines& lines) {
    std::string text;
    for (const std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

// Lone LFs (as a Qt text field gives them) become CR LF.
std::string WithCrLf(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) bytes += '\r';
        bytes += text[i];
    }
    return bytes;
}

}  // namespace

std::vector<std::string_view> HtmlIniLines(std::string_view bytes) {
    Lines lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (end == std::string_view::npos) {
            lines.push_back(line);
            break;
        }
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        bytes.remove_prefix(end + 1);
    }
    return lines;
}

std::string HtmlSettingsPath(const ProgramPaths& paths) { return paths.InFolder("HTML.ini"); }

HtmlSettings DefaultHtmlSettings() {
    HtmlSettings settings;
    settings.location =
        "Aktuelle Daten aus:\r\nAktualisierungsintervall:\r\nOrt der Datenerfassung:\n";
    settings.text =
        "ORB9\r\nWetterstation mit 7 Sensoren (inkl. Regenmenge und Globalstrahlung)\nund "
        "Datenlogger.";
    return settings;
}

HtmlSettings ParseHtmlSettings(std::string_view bytes) {
    const Lines lines = HtmlIniLines(bytes);
    HtmlSettings settings;
    settings.location = EachFollowedByCrLf(SectionLines(lines, kLocationMarker));
    for (const std::string_view name : SectionLines(lines, kSensorsMarker))
        if (!name.empty()) settings.sensors.emplace_back(name);
    const Lines picture = SectionLines(lines, kPictureMarker);
    if (!picture.empty()) settings.picture = picture.front();
    settings.text = EachFollowedByCrLf(SectionLines(lines, kTextMarker));
    return settings;
}

std::string HtmlSettingsBytes(const HtmlSettings& settings) {
    std::string bytes = "[SectionLocation]\r\n";
    for (const std::string_view line : HtmlIniLines(settings.location)) {
        const std::string_view text = WithoutCrs(line);
        bytes += text;
        // An empty line would end the page's search for the selected sensors and
        // the picture; a lone CR keeps it a blank line that does not.
        bytes += text.empty() ? "\r\r\n" : "\r\n";
    }
    bytes += "[SectionSensors]\r\n";
    for (const std::string& name : settings.sensors) {
        // An empty name line would end the search for the names after it.
        if (name.empty()) continue;
        bytes += name;
        bytes += "\r\n";
    }
    bytes += "[SectionPicture]\r\n";
    bytes += settings.picture.substr(0, settings.picture.find('\n'));
    bytes += "\r\n[SectionText]\r\n";
    bytes += WithCrLf(settings.text);
    return bytes;
}

std::vector<std::string> HtmlSensorNames(const std::vector<std::unique_ptr<CAktuell>>& values) {
    std::vector<std::string> names;
    for (const auto& value : values) {
        if (value->m_sensor == nullptr || value->m_sensor->m_name.empty()) continue;
        const std::string& name = value->m_sensor->m_name;
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
}

std::vector<std::string> AvailableHtmlSensors(const std::vector<std::string>& offered,
                                              const std::vector<std::string>& chosen) {
    std::vector<std::string> available;
    for (const std::string& name : offered)
        if (std::find(chosen.begin(), chosen.end(), name) == chosen.end())
            available.push_back(name);
    return available;
}

HtmlIniBytes ReadHtmlIni(FileStore& files, const std::string& path) {
    HtmlIniBytes read;
    const std::unique_ptr<FileStore::Reader> reader = files.OpenForReading(path, read.error);
    if (!reader) {
        read.missing = read.error == ENOENT || read.error == ENOTDIR;
        return read;
    }
    char chunk[4096];
    for (;;) {
        const long count = reader->Read(chunk, sizeof chunk);
        if (count < 0) {
            read.error = static_cast<int>(-count);
            break;
        }
        if (count == 0) break;
        if (read.bytes.size() + static_cast<std::size_t>(count) > kMaxHtmlIniBytes) {
            read.error = EFBIG;
            break;
        }
        read.bytes.append(chunk, static_cast<std::size_t>(count));
    }
    if (read.error != 0) read.bytes.clear();
    return read;
}

FileStore::Result LoadHtmlSettings(FileStore& files, const std::string& path,
                                   HtmlSettings& settings) {
    const HtmlIniBytes read = ReadHtmlIni(files, path);
    if (!read) {
        settings = DefaultHtmlSettings();
        return FileStore::Result{read.missing ? 0 : read.error};
    }
    settings = ParseHtmlSettings(read.bytes);
    return {};
}

FileStore::Result SaveHtmlSettings(FileStore& files, const std::string& path,
                                   const HtmlSettings& settings) {
    return files.Replace(path, HtmlSettingsBytes(settings), true);
}
