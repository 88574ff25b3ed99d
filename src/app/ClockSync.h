#pragma once

#include <ctime>
#include <optional>
#include <string>

struct AppContext;
class Clock;

// What the clock dialog decided: 0 set the station from the PC (with the
// command it built and when), 1 the PC was set from the station, 2 no setting.
struct ClockDialogResult {
    int choice = 0;
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

    int choice = 0;             // 0 station from PC, 1 PC from station, 2 none
    bool deleteLogger = false;  // only offered with choice 0
    bool DeletionEnabled() const { return choice == 0; }

    // "OK": choice 0 builds the clock command now, choice 1 sets the PC's clock.
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
