// Any bytes as the window layout in the application profile: every view must
// restore its period into range and open its dialog and windows, and the
// layout saved from what was restored must restore unchanged.
//
// The input fills an in-memory profile, one value per line:
// "section/key=" then "i" and a decimal int, "t" and a text, or "b" and bytes
// ("wetter1/View1/KE=tTE,FE,"). The last "/" before "=" ends the section.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzFiles.h"
#include "MemoryRegistry.h"
#include "app/LayoutStore.h"
#include "display/DiagramPeriod.h"
#include "display/SensorWindowModel.h"
#include "model/CSensoren.h"

namespace {

constexpr const char* kName = "LayoutFuzz";
constexpr const char* kProgram = "wetter";
constexpr std::time_t kNow = 1709474709;

void Fill(MemoryRegistry& registry, std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || equals + 1 >= line.size()) continue;
        const std::string_view name = line.substr(0, equals);
        const std::size_t slash = name.rfind('/');
        if (slash == std::string_view::npos) continue;
        const std::string_view section = name.substr(0, slash);
        const std::string_view key = name.substr(slash + 1);
        const char kind = line[equals + 1];
        const std::string_view value = line.substr(equals + 2);
        if (kind == 'i') {
            registry.WriteInt(
                section, key,
                static_cast<int>(std::strtol(std::string(value).c_str(), nullptr, 10)));
        } else if (kind == 't') {
            registry.WriteText(section, key, value);
        } else if (kind == 'b') {
            registry.WriteBinary(section, key, value);
        }
    }
}

// What a view does with its stored values when the document opens.
void Open(const LayoutStore::ViewLayout& view) {
    DiagramPeriod period;
    period.Restore(view);
    if (period.periodType < 0 || period.periodType > 4 || period.dataMode < 0 ||
        period.dataMode > 3 || period.hours < DiagramPeriod::kMinHours ||
        period.hours > DiagramPeriod::kMaxHours)
        FuzzFail(kName, "restored period out of range");
    period.OpeningChoice(true, kNow);
    period.Title();
    period.Navigate(DiagramPeriod::Step::kHalfBack);
    period.Navigate(DiagramPeriod::Step::kWholeForwards);
    period.RestoreStartingTime();
    period.RecomputePeriod(kNow);
    period.Title();

    const std::vector<std::string> identifiers = SplitSensorIdentifiers(view.ke);
    if (JoinSensorIdentifiers(identifiers).size() > view.ke.size() + 1)
        FuzzFail(kName, "identifiers grew when joined again");
    std::vector<std::unique_ptr<CSensoren>> sensors;
    for (std::size_t i = 0; i < identifiers.size(); ++i) {
        sensors.push_back(std::make_unique<CSensoren>());
        sensors.back()->m_identifier = identifiers[i];
        sensors.back()->m_colour = 0x00FF00;
        SensorWindowModel window(static_cast<int>(i), sensors.back().get());
        window.ApplyStoredSettings(view.sensorWindows, identifiers.size(), i % 2 == 0);
        if (window.YScale() < SensorWindowModel::kYScaleMin ||
            window.YScale() > SensorWindowModel::kYScaleMax ||
            window.GraphOffset() < SensorWindowModel::kOffsetMin ||
            window.GraphOffset() > SensorWindowModel::kOffsetMax ||
            window.Opacity() < SensorWindowModel::kOpacityMin ||
            window.Opacity() > SensorWindowModel::kOpacityMax || window.CurveColour() > 0xFFFFFF)
            FuzzFail(kName, "single-value window out of range");
        window.StoredSettings();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool zone = [] {
        setenv("TZ", "UTC", 1);
        tzset();
        return true;
    }();
    (void)zone;
    MemoryRegistry registry;
    Fill(registry, std::string_view(reinterpret_cast<const char*>(data), size));

    const LayoutStore::DocumentLayout document =
        LayoutStore::RestoreFirstDocument(registry, kProgram);
    if (document.views.empty() ||
        document.views.size() > static_cast<std::size_t>(LayoutStore::kMaxViews))
        FuzzFail(kName, "view count out of range");
    for (const LayoutStore::ViewLayout& view : document.views) Open(view);
    LayoutStore::ReadMainPlacement(registry, kProgram);

    // Saved into a fresh profile, the layout restores as it was.
    MemoryRegistry saved;
    if (!LayoutStore::SaveLayout(saved, kProgram, {document})) FuzzFail(kName, "save failed");
    if (LayoutStore::RestoreFirstDocument(saved, kProgram) != document)
        FuzzFail(kName, "saved layout restores changed");
    return 0;
}
