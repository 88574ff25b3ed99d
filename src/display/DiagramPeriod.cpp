#include "display/DiagramPeriod.h"

#include <algorithm>

#include "platform/Clock.h"
#include "storage/SensorSet.h"

namespace {

constexpr std::time_t kSecondsPerHour = 3600;
constexpr std::time_t kMaxDialogSeconds = 31622400;  // 366 days
constexpr const char* kTitleTimeFormat = "%d.%m.%y (%H:%M:%S)";

int ClampHours(int hours) {
    return std::clamp(hours, DiagramPeriod::kMinHours, DiagramPeriod::kMaxHours);
}

int TypeOf(bool lastHours, bool presentTime) {
    if (lastHours) return presentTime ? 1 : 2;
    return presentTime ? 3 : 4;
}

PeriodAcceptance Rejected(const char* message) {
    PeriodAcceptance result;
    result.message = message;
    return result;
}

}  // namespace

PeriodAcceptance AcceptPeriod(const PeriodChoice& choice, std::time_t now) {
    if (choice.checkedIdentifiers.empty()) return Rejected("No sensor selected!!!!");

    PeriodAcceptance result;
    result.periodType = TypeOf(choice.lastHours, choice.presentTime);
    if (choice.momentary) {
        result.accepted = true;
        return result;
    }
    const std::time_t hourSpan = ClampHours(choice.hours) * kSecondsPerHour;
    std::time_t start = choice.start;
    std::time_t end = choice.end;
    switch (result.periodType) {
        case 1:
            end = now;
            start = end - hourSpan;
            break;
        case 2:
            if (end > now) return Rejected("Period of time is newer than present time!");
            start = end - hourSpan;
            break;
        case 3:
            if (start > now) return Rejected("Period of time is newer than present time!");
            end = now;
            if (end - start > kMaxDialogSeconds)
                return Rejected("In the choosen period of time maximum 366 days can be displayed!");
            break;
        default:
            if (start > now || end > now || start >= end)
                return Rejected("Wrong time / date input!");
            if (end - start > kMaxDialogSeconds)
                return Rejected("In the choosen period of time maximum one year can be displayed!");
            break;
    }
    result.accepted = true;
    result.start = start;
    result.end = end;
    result.periodSeconds = static_cast<unsigned>(end - start);
    return result;
}

PeriodControlStates PeriodDialogControls(const PeriodChoice& choice, bool connected) {
    PeriodControlStates states;
    states.momentary = connected;
    if (choice.momentary) return states;
    states.periodRadios = true;
    states.dataMode = true;
    states.hours = choice.lastHours;
    states.startPickers = !choice.lastHours;
    states.endPickers = !choice.presentTime;
    return states;
}

std::vector<SensorListLine> SensorListLines(const SensorSet& sensors,
                                            const std::vector<std::string>& selected) {
    std::vector<SensorListLine> lines;
    for (const auto& sensor : sensors.Sensors()) {
        if (sensor->m_name.empty()) continue;
        SensorListLine line;
        line.identifier = sensor->m_identifier;
        line.text = "[" + sensor->m_identifier + "] " + sensor->m_name;
        line.checked =
            std::find(selected.begin(), selected.end(), sensor->m_identifier) != selected.end();
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> SplitSensorIdentifiers(const std::string& text) {
    std::vector<std::string> identifiers;
    std::size_t from = 0;
    for (std::size_t comma = text.find(','); comma != std::string::npos;
         comma = text.find(',', from)) {
        identifiers.push_back(text.substr(from, comma - from));
        from = comma + 1;
    }
    // A last identifier without its comma (a hand-edited profile) is kept too.
    if (from < text.size()) identifiers.push_back(text.substr(from));
    return identifiers;
}

std::string JoinSensorIdentifiers(const std::vector<std::string>& identifiers) {
    std::string text;
    for (const std::string& identifier : identifiers) text += identifier + ",";
    return text;
}

void DiagramPeriod::Restore(const LayoutStore::ViewLayout& layout) {
    periodType = layout.daz >= 0 && layout.daz <= 4 ? layout.daz : 0;
    dataMode = layout.da >= 0 && layout.da <= 3 ? layout.da : 0;
    hours = ClampHours(layout.sz);
    momentary = layout.mo != 0;
    if (layout.timeStart && layout.timeEnd) {
        start = *layout.timeStart;
        end = *layout.timeEnd;
        periodSeconds = end > start ? static_cast<unsigned>(end - start) : 0;
    }
    savedStart = start;
    savedEnd = end;
}

void DiagramPeriod::Store(LayoutStore::ViewLayout& layout) const {
    layout.daz = periodType;
    layout.da = dataMode;
    layout.sz = hours;
    layout.mo = momentary ? 1 : 0;
    layout.timeStart.reset();
    layout.timeEnd.reset();
    if (start != 0 || end != 0) {
        layout.timeStart = start;
        layout.timeEnd = end;
    }
}

PeriodChoice DiagramPeriod::OpeningChoice(bool connected, std::time_t now) const {
    PeriodChoice choice;
    choice.momentary = momentary && connected;
    choice.lastHours = periodType == 0 || periodType == 1 || periodType == 2;
    choice.presentTime = periodType == 0 || periodType == 1 || periodType == 3;
    choice.hours = ClampHours(hours);
    choice.dataMode = dataMode;
    if (start == 0 && end == 0) {
        choice.end = now;
        choice.start = now - choice.hours * kSecondsPerHour;
    } else {
        choice.start = start;
        choice.end = end;
    }
    return choice;
}

void DiagramPeriod::Apply(const PeriodChoice& choice, const PeriodAcceptance& acceptance) {
    periodType = acceptance.periodType;
    dataMode = choice.dataMode;
    hours = ClampHours(choice.hours);
    momentary = choice.momentary;
    if (momentary) {
        dataMode = 1;
        return;
    }
    start = acceptance.start;
    end = acceptance.end;
    periodSeconds = acceptance.periodSeconds;
    savedStart = start;
    savedEnd = end;
}

bool DiagramPeriod::RecomputePeriod(std::time_t now) {
    const std::time_t hourSpan = ClampHours(hours) * kSecondsPerHour;
    switch (periodType) {
        case 1:
            end = now;
            start = end - hourSpan;
            periodSeconds = static_cast<unsigned>(hourSpan);
            break;
        case 2:
            if (end > now) return false;
            start = end - hourSpan;
            periodSeconds = static_cast<unsigned>(hourSpan);
            break;
        case 3:
            if (start >= now) return false;
            end = now;
            if (end - start > kMaxRefreshSeconds) start = end - kMaxRefreshSeconds;
            periodSeconds = static_cast<unsigned>(end - start);
            break;
        case 4:
            if (end > now || start > now || start >= end) return false;
            periodSeconds = static_cast<unsigned>(end - start);
            break;
        default:
            return false;
    }
    savedStart = start;
    savedEnd = end;
    return true;
}

void DiagramPeriod::Navigate(Step step) {
    const std::time_t span = end - start;
    std::time_t shift = 0;
    switch (step) {
        case Step::kWholeForwards:
            shift = span;
            break;
        case Step::kWholeBack:
            shift = -span;
            break;
        case Step::kHalfForwards:
            shift = span / 2;
            break;
        case Step::kHalfBack:
            shift = -(span / 2);
            break;
    }
    start += shift;
    end += shift;
    periodSeconds = static_cast<unsigned>(span);
    autoUpdate = false;
}

void DiagramPeriod::RestoreStartingTime() {
    start = savedStart;
    end = savedEnd;
    periodSeconds = static_cast<unsigned>(end - start);
}

bool DiagramPeriod::NavigationEnabled() const { return !momentary && !noData; }

bool DiagramPeriod::StartingTimeEnabled() const { return !momentary; }

bool DiagramPeriod::AutoUpdateEnabled() const {
    return !momentary && periodType != 2 && periodType != 4;
}

bool DiagramPeriod::MayAutoRead() const {
    return (periodType == 1 || periodType == 3) && autoUpdate && !momentary;
}

bool DiagramPeriod::EndsAtPresent() const {
    if (momentary) return true;
    // Navigation moves the shown period away from the present until "Starting time".
    return (periodType == 1 || periodType == 3) && end == savedEnd;
}

std::string DiagramPeriod::Title() const {
    if (periodType < 1 || periodType > 4) return "No timeperiod selected!";
    if (momentary) return "All momentary values";
    const std::string startText = FormatLocalTime(start, kTitleTimeFormat);
    const std::string endText = FormatLocalTime(end, kTitleTimeFormat);
    switch (periodType) {
        case 1:
            return "Last " + std::to_string(hours) + " h since " + endText;
        case 3:
            return "since " + startText + " to " + endText;
        default:
            return "from " + startText + " to " + endText;
    }
}
