#pragma once

#include <ctime>
#include <optional>
#include <string>

struct AppContext;
class Clock;

// What the clock dialog offers, in the order of its buttons.
enum class ClockChoice {
    kStationFromPc = 0,  // with the command built and when
    kPcFromStation = 1,
    kNone = 2,
};

// What the clock dialog decided.
struct ClockDialogResult {
    ClockChoice choice = ClockChoice::kStationFromPc;
    bool deleteLogger = false;
    std::string command;
    std::time_t timeSent = 0;
};

// The clock dialog, shown when the clocks differ in clock mode 3.
class ClockDialog {
public:
    virtual ~ClockDialog() = default;
    // Nothing when the user cancelled.
    virtual std::optional<ClockDialogResult> Show(std::time_t stationTime) = 0;
};

// The clock dialog's state and rules; the window only shows them.
class ClockSetting {
public:
    ClockSetting(Clock& clock, std::time_t stationTime)
        : m_clock(clock), m_stationTime(stationTime) {}

    // Both displays, refreshed every second: the PC's time runs, the station's stands.
    std::string PcTimeText() const;
    std::string StationTimeText() const;

    ClockChoice choice = ClockChoice::kStationFromPc;
    bool deleteLogger = false;  // only offered when the station is set
    bool DeletionEnabled() const { return choice == ClockChoice::kStationFromPc; }

    // "OK": builds the clock command now, or sets the PC's clock.
    ClockDialogResult Accept();

private:
    Clock& m_clock;
    std::time_t m_stationTime;
};

// Sets the PC's clock; a refusal (no right to do so) is written to the output window.
bool SetPcClock(Clock& clock, std::time_t time);

// A live record's time was too far off: bring the station's clock to the PC's
// (queued for the acquisition reader, no echo awaited) ...
void SetStationClockLive(AppContext& context);
// ... or the PC's clock to the record's.
void SetPcClockLive(AppContext& context, std::time_t recordTime);
