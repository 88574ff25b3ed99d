#include "app/LayoutStore.h"

#include <algorithm>

#include "platform/Clock.h"
#include "platform/Registry.h"
#include "storage/RecordLine.h"

namespace LayoutStore {
namespace {

constexpr const char* kTimeFormat = "%H:%M:%S,%d.%m.%Y,";
// No Windows colour (CLR_INVALID), so it can stand for "not stored".
constexpr int kNoColour = -1;

std::optional<std::time_t> ParseTime(const std::string& text) {
    return RecordLine::TokensToTime(RecordLine::ScanTimeTokens(text), true);
}

void WriteSensorWindow(Registry& registry, const std::string& section,
                       const SensorWindowLayout& window) {
    registry.WriteText(section, "KE", window.ke);
    if (window.placement) registry.WriteBinary(section, "WP", *window.placement);
    if (window.colour) registry.WriteInt(section, "COLOR", *window.colour);
    registry.WriteText(section, "SY", window.sy);
    registry.WriteText(section, "SV", window.sv);
    registry.WriteInt(section, "Opacity", window.opacity);
}

SensorWindowLayout ReadSensorWindow(Registry& registry, const std::string& section) {
    SensorWindowLayout window;
    window.ke = registry.ReadText(section, "KE", "");
    window.placement = registry.ReadBinary(section, "WP");
    const int colour = registry.ReadInt(section, "COLOR", kNoColour);
    if (colour != kNoColour) window.colour = colour;
    window.sy = registry.ReadText(section, "SY", window.sy);
    window.sv = registry.ReadText(section, "SV", window.sv);
    window.opacity = registry.ReadInt(section, "Opacity", window.opacity);
    return window;
}

void WriteView(Registry& registry, const std::string& section, const ViewLayout& view) {
    registry.WriteInt(section, "HGF", view.hgf);
    registry.WriteInt(section, "KOF", view.kof);
    registry.WriteInt(section, "DAZ", view.daz);
    registry.WriteInt(section, "DA", view.da);
    registry.WriteInt(section, "SZ", view.sz);
    registry.WriteInt(section, "FG", view.fg);
    registry.WriteInt(section, "MO", view.mo);
    registry.WriteInt(section, "ES", view.es);
    registry.WriteText(section, "TimeS",
                       view.timeStart ? FormatLocalTime(*view.timeStart, kTimeFormat) : "");
    registry.WriteText(section, "TimeE",
                       view.timeEnd ? FormatLocalTime(*view.timeEnd, kTimeFormat) : "");
    registry.WriteText(section, "KE", view.ke);
    if (view.placement) registry.WriteBinary(section, "WP", *view.placement);
    for (std::size_t i = 0; i < view.sensorWindows.size(); ++i)
        WriteSensorWindow(registry, SensorSection(section, static_cast<int>(i) + 1),
                          view.sensorWindows[i]);
}

ViewLayout ReadView(Registry& registry, const std::string& section) {
    ViewLayout view;
    view.section = section;
    view.hgf = registry.ReadInt(section, "HGF", view.hgf);
    view.kof = registry.ReadInt(section, "KOF", view.kof);
    view.daz = registry.ReadInt(section, "DAZ", view.daz);
    view.da = registry.ReadInt(section, "DA", view.da);
    view.sz = registry.ReadInt(section, "SZ", view.sz);
    view.fg = registry.ReadInt(section, "FG", view.fg);
    view.mo = registry.ReadInt(section, "MO", view.mo);
    view.es = registry.ReadInt(section, "ES", view.es);
    const std::optional<std::time_t> start = ParseTime(registry.ReadText(section, "TimeS", ""));
    const std::optional<std::time_t> end = ParseTime(registry.ReadText(section, "TimeE", ""));
    if (start && end) {
        view.timeStart = start;
        view.timeEnd = end;
    }
    view.ke = registry.ReadText(section, "KE", "");
    view.placement = registry.ReadBinary(section, "WP");
    for (int window = 1;; ++window) {
        const std::string windowSection = SensorSection(section, window);
        if (!registry.Contains(windowSection, "KE")) break;
        view.sensorWindows.push_back(ReadSensorWindow(registry, windowSection));
    }
    return view;
}

}  // namespace

std::string MainFrameSection(const std::string& programName) { return programName + "1/MainFrame"; }

std::string DocumentSection(const std::string& programName, int document) {
    return programName + std::to_string(document);
}

std::string ViewSection(const std::string& programName, int document, int view) {
    return DocumentSection(programName, document) + "/View" + std::to_string(view);
}

std::string SensorSection(const std::string& viewSection, int window) {
    return viewSection + "/Sensor" + std::to_string(window);
}

bool SaveLayout(Registry& registry, const std::string& programName,
                const std::vector<DocumentLayout>& documents) {
    for (std::size_t d = 0; d < documents.size(); ++d) {
        const int document = static_cast<int>(d) + 1;
        const std::vector<ViewLayout>& views = documents[d].views;
        for (std::size_t v = 0; v < views.size(); ++v)
            WriteView(registry, ViewSection(programName, document, static_cast<int>(v) + 1),
                      views[v]);
        registry.WriteInt(DocumentSection(programName, document), "CountViews",
                          static_cast<int>(views.size()));
    }
    registry.WriteInt("Documents", "CountDoc", static_cast<int>(documents.size()));
    return registry.Flush();
}

DocumentLayout RestoreFirstDocument(Registry& registry, const std::string& programName) {
    const int count = std::clamp(registry.ReadInt(DocumentSection(programName, 1), "CountViews", 1),
                                 1, kMaxViews);
    DocumentLayout layout;
    for (int view = 1; view <= count; ++view)
        layout.views.push_back(ReadView(registry, ViewSection(programName, 1, view)));
    return layout;
}

std::optional<std::string> ReadMainPlacement(Registry& registry, const std::string& programName) {
    return registry.ReadBinary(MainFrameSection(programName), "WP");
}

bool WriteMainPlacement(Registry& registry, const std::string& programName,
                        const std::string& placement) {
    registry.WriteBinary(MainFrameSection(programName), "WP", placement);
    return registry.Flush();
}

}  // namespace LayoutStore
