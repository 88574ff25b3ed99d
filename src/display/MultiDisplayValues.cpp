#include "display/MultiDisplayValues.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "app/CWetterDoc.h"
#include "app/DocumentView.h"
#include "model/CSensoren.h"
#include "model/MissingValue.h"
#include "platform/Clock.h"
#include "storage/CAktuell.h"
#include "storage/CEinlesen.h"
#include "storage/CListGraph.h"
#include "storage/SensorSet.h"

namespace {

constexpr const char* kTimeFormat = "%H:%M:%S    %d.%m.%y";
constexpr const char* kUnknownName = "----";
// More digits than any display shows; keeps a damaged definition from asking for hundreds.
constexpr int kMaxDigits = 10;

// Where the values come from at this moment.
class ValueSource {
public:
    explicit ValueSource(const CWetterDoc& document)
        : m_document(document),
          m_fromCurrentValues(document.PortOpen() || document.Interpretation().start != 0) {}

    std::optional<float> Find(const std::string& identifier) const {
        if (m_fromCurrentValues) {
            for (const auto& current : m_document.Sensors().CurrentValues())
                if (current->m_identifier == identifier) return current->m_value;
            return std::nullopt;
        }
        std::optional<float> found;
        for (const DocumentView* view : m_document.Views()) {
            const CEinlesen* reader = view->Reader();
            if (reader == nullptr) continue;
            const CListGraph* series = reader->FindSeries(identifier);
            if (series != nullptr && !series->Points().empty()) found = series->LastValue();
        }
        return found;
    }

    std::time_t DataTime(std::time_t now) const {
        if (m_fromCurrentValues) {
            std::time_t latest = 0;
            for (const auto& current : m_document.Sensors().CurrentValues())
                latest = std::max(latest, current->m_time);
            return latest > 0 ? latest : now;
        }
        for (const DocumentView* view : m_document.Views()) {
            const CEinlesen* reader = view->Reader();
            if (reader == nullptr || reader->Series().empty()) continue;
            const CListGraph& first = *reader->Series().front();
            return first.Points().empty() ? now : first.Points().back().m_time;
        }
        return now;
    }

private:
    const CWetterDoc& m_document;
    bool m_fromCurrentValues;
};

// A tile's value. A sensor without a value (the station sends none, no
// diagram shows it) reads as missing, not as a plausible -1; only an
// additional tile whose identifier names no sensor at all shows -1, under
// the name "----".
MultiTile TileOf(const ValueSource& source, const SensorSet& sensors, const std::string& id,
                 bool additional) {
    MultiTile tile;
    const CSensoren* sensor = sensors.FindSensor(id);
    const std::optional<float> found = source.Find(id);
    tile.value = found ? *found : sensor == nullptr && additional ? kNotFoundValue : kMissingValue;
    if (sensor != nullptr) {
        tile.digits = std::clamp(sensor->m_decimals, 0, kMaxDigits);
        tile.unit = sensor->m_unit;
        tile.name = sensor->m_name;
    } else if (additional) {
        tile.name = kUnknownName;
    }
    return tile;
}

}  // namespace

int WholeDirection(float value) {
    // Compared as floats first: a huge or undefined reading must not be cast.
    if (!(value >= 0.0f && value < 360.0f)) return kNoDirection;
    return static_cast<int>(value);
}

int RoundDirection(int direction, DirectionSteps steps) {
    if (direction < 0 || direction > 359) return kNoDirection;
    const int remainder = steps == DirectionSteps::kFive  ? direction % 5
                          : steps == DirectionSteps::kTen ? direction % 10
                                                          : 0;
    int rounded = direction;
    if (steps == DirectionSteps::kFive)
        rounded = remainder <= 2 ? direction - remainder : direction + 5 - remainder;
    else if (steps == DirectionSteps::kTen)
        rounded = remainder < 5 ? direction - remainder : direction + 10 - remainder;
    return rounded == 360 ? 0 : rounded;
}

MultiDisplayValues CollectMultiValues(const CWetterDoc& document,
                                      const MultiDisplaySettings& settings, DirectionSteps steps,
                                      std::time_t now) {
    const ValueSource source(document);
    const SensorSet& sensors = document.Sensors();
    MultiDisplayValues values;
    values.directionMaster = settings.directionMaster == 2 ? 2 : 1;
    const bool wrIsMain = values.directionMaster == 1;
    const std::optional<float> main = source.Find(wrIsMain ? "WR" : "WV");
    const std::optional<float> second = source.Find(wrIsMain ? "WV" : "WR");
    if (main) values.mainDirection = RoundDirection(WholeDirection(*main), steps);
    if (second) values.secondDirection = WholeDirection(*second);

    values.speed = TileOf(source, sensors, "WG", false);
    values.average = TileOf(source, sensors, "WD", false);
    values.peak = TileOf(source, sensors, "WS", false);
    for (std::size_t i = 0; i < values.additional.size(); ++i)
        values.additional[i] = TileOf(source, sensors, settings.additionalIds[i], true);
    values.timeText = FormatLocalTime(source.DataTime(now), kTimeFormat);
    return values;
}

std::vector<std::string> SensorMenuEntries(const SensorSet& sensors) {
    std::vector<std::string> entries;
    for (const auto& sensor : sensors.Sensors())
        if (!sensor->m_name.empty())
            entries.push_back(sensor->m_identifier + "  " + sensor->m_name);
    return entries;
}

std::string IdentifierOfEntry(std::string_view entry) {
    return std::string(entry.substr(0, entry.find(' ')));
}
