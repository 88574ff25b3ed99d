#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

class Registry;

// The window layout kept in the application profile between runs: the main
// window's placement, and per station document its diagram views with their
// settings and single-value windows. Sections are named after the program
// ("wetter1/View2/Sensor1").
namespace LayoutStore {

// A single-value window of a view, kept as it was shown.
struct SensorWindowLayout {
    std::string ke;             // the sensor identifier the window shows
    std::optional<int> colour;  // nothing: the sensor's own colour
    std::string sy = "50";      // Y-scale, as text
    std::string sv = "0";       // graph offset, as text
    int opacity = 100;          // percent
    std::optional<std::string> placement;

    bool operator==(const SensorWindowLayout&) const = default;
};

// One diagram view; the defaults are those of a view that was never stored.
struct ViewLayout {
    int hgf = 16777215, kof = 0, daz = 1, da = 3, sz = 24, fg = 0, mo = 1, es = 1;
    std::optional<std::time_t> timeStart, timeEnd;  // the shown period, both or neither
    std::string ke;                                 // the view's sensor identifiers
    std::optional<std::string> placement;           // the frame's geometry bytes ("WP")
    std::string section;  // where the view was read from; SaveLayout numbers views afresh
    // Stored entries "Sensor1", "Sensor2"... in order. The view applies only
    // the first as many as it has identifiers: older runs may have left more.
    std::vector<SensorWindowLayout> sensorWindows;

    bool operator==(const ViewLayout&) const = default;
};

struct DocumentLayout {
    std::vector<ViewLayout> views;

    bool operator==(const DocumentLayout&) const = default;
};

// More views than this come only from a damaged profile, not from a run.
inline constexpr int kMaxViews = 100;

// programName + "1/MainFrame".
std::string MainFrameSection(const std::string& programName);
// programName + number ("wetter1"); documents count from 1.
std::string DocumentSection(const std::string& programName, int document);
// DocumentSection + "/View" + number; views count from 1 within their document.
std::string ViewSection(const std::string& programName, int document, int view);
// viewSection + "/Sensor" + number; windows count from 1.
std::string SensorSection(const std::string& viewSection, int window);

// Writes every view of every document (both numbered from 1 in the given
// order), each document's "CountViews" and "Documents"/"CountDoc". A view
// without a period writes empty "TimeS"/"TimeE", so that a period of an
// earlier run does not come back. False when the profile could not be stored.
bool SaveLayout(Registry& registry, const std::string& programName,
                const std::vector<DocumentLayout>& documents);

// The views of the first document ("CountViews", at least one, at most
// kMaxViews), each with the stored values or the defaults. The period is taken
// only when "TimeS" and "TimeE" both hold a record time with a four-digit year.
DocumentLayout RestoreFirstDocument(Registry& registry, const std::string& programName);

// The main window's placement ("WP" of MainFrameSection), or nothing.
std::optional<std::string> ReadMainPlacement(Registry& registry, const std::string& programName);
// False when the profile could not be stored.
bool WriteMainPlacement(Registry& registry, const std::string& programName,
                        const std::string& placement);

}  // namespace LayoutStore
