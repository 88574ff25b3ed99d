#pragma once

// DiagramPeriod is the period of time a diagram view shows, with its rules.

#include <ctime>
#include <string>
#include <vector>

#include "app/LayoutStore.h"

class SensorSet;

// What the period dialog holds when "Get data" is pressed.
struct PeriodChoice {
    bool momentary = false;   // "All momentary values"
    bool lastHours = true;    // "last x hours", else a start "Date / time"
    bool presentTime = true;  // "present time", else an end "Date / time"
    int hours = 24;
    std::time_t start = 0, end = 0;  // the pickers (date + time)
    int dataMode = 0;
    std::vector<std::string> checkedIdentifiers;  // in list order
};

// The dialog's verdict on a choice: the period it stands for, or the message
// that keeps the dialog open.
struct PeriodAcceptance {
    bool accepted = false;
    std::string message;  // the dialog's message when not accepted
    int periodType = 0;
    std::time_t start = 0, end = 0;
    unsigned periodSeconds = 0;
};

// Checks a choice against the present time `now`.
PeriodAcceptance AcceptPeriod(const PeriodChoice& choice, std::time_t now);

// Which of the period dialog's controls take input.
struct PeriodControlStates {
    bool momentary = false;     // "All momentary values"
    bool periodRadios = false;  // both radio groups
    bool hours = false;         // hour field, its spin and the "h" label
    bool startPickers = false;
    bool endPickers = false;
    bool dataMode = false;  // the data-mode radio group

    bool operator==(const PeriodControlStates&) const = default;
};

// `connected`: the document's station is connected, so momentary values arrive.
PeriodControlStates PeriodDialogControls(const PeriodChoice& choice, bool connected);

// One line of the dialog's sensor list.
struct SensorListLine {
    std::string identifier;
    std::string text;  // "[identifier] name"
    bool checked = false;

    bool operator==(const SensorListLine&) const = default;
};

// The document's sensors with a name, in the document's order; a line is
// checked when the view shows its identifier.
std::vector<SensorListLine> SensorListLines(const SensorSet& sensors,
                                            const std::vector<std::string>& selected);

// "TE,FE," as the profile keeps a view's identifiers: each one ended by a comma.
std::vector<std::string> SplitSensorIdentifiers(const std::string& text);
std::string JoinSensorIdentifiers(const std::vector<std::string>& identifiers);

// The period state of one diagram view: what is shown, what the dialog,
// navigation, refresh and automatic update do to it, and which commands apply.
class DiagramPeriod {
public:
    static constexpr int kMinHours = 1;
    static constexpr int kMaxHours = 168;
    // Type 3 refreshes show at most this much; a longer start is moved up.
    static constexpr std::time_t kMaxRefreshSeconds = 2678400;  // 31 days

    int periodType = 0;
    int hours = 24;
    int dataMode = 0;
    bool momentary = true;
    unsigned periodSeconds = 0;
    std::time_t start = 0, end = 0, savedStart = 0, savedEnd = 0;
    bool autoUpdate = true;
    bool noData = false;

    // The period settings of a stored view ("DAZ", "DA", "SZ", "MO", "TimeS",
    // "TimeE"); values no control can produce are brought into range.
    void Restore(const LayoutStore::ViewLayout& layout);
    void Store(LayoutStore::ViewLayout& layout) const;

    // The dialog's controls as this view opens it. Without a period yet the
    // pickers offer the last `hours` up to `now`. Momentary mode is offered only
    // while `connected`: its box could not be unchecked otherwise.
    PeriodChoice OpeningChoice(bool connected, std::time_t now) const;

    // Takes an accepted choice. Momentary mode reads with DataMode 1, so the
    // next dialog shows "Maximum values".
    void Apply(const PeriodChoice& choice, const PeriodAcceptance& acceptance);
    // The period up to `now` for a refresh or an automatic update. False (and
    // nothing changed) when the period cannot be shown.
    bool RecomputePeriod(std::time_t now);

    enum class Step { kWholeForwards, kWholeBack, kHalfForwards, kHalfBack };
    // Shifts the shown period; the reader then reads the full span.
    void Navigate(Step step);
    void RestoreStartingTime();

    bool NavigationEnabled() const;
    bool StartingTimeEnabled() const;
    bool AutoUpdateEnabled() const;
    // Ready is the view's own condition on top of this.
    bool MayAutoRead() const;
    // Single-value windows show the current value only then.
    bool EndsAtPresent() const;
    std::string Title() const;
};
