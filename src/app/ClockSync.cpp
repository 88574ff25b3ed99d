#include "app/ClockSync.h"

#include "app/AppContext.h"
#include "app/StationCommands.h"
#include "comm/ProcessValues.h"
#include "comm/StationProtocol.h"
#include "model/Colours.h"
#include "model/ErrorLog.h"
#include "model/OutputList.h"
#include "platform/Clock.h"
#include "platform/Ui.h"

namespace {
constexpr const char* kDisplayFormat = "%H:%M:%S  %d.%m.%y";
}

std::string ClockSetting::PcTimeText() const {
    return FormatLocalTime(m_clock.Now(), kDisplayFormat);
}

std::string ClockSetting::StationTimeText() const {
    return FormatLocalTime(m_stationTime, kDisplayFormat);
}

ClockDialogResult ClockSetting::Accept() {
    ClockDialogResult result;
    result.choice = choice;
    result.deleteLogger = DeletionEnabled() && deleteLogger;
    if (choice == ClockChoice::kStationFromPc) {
        result.timeSent = m_clock.Now();
        result.command = StationProtocol::ClockCommand(result.timeSent);
    } else if (choice == ClockChoice::kPcFromStation) {
        SetPcClock(m_clock, m_stationTime);
    }
    return result;
}

bool SetPcClock(Clock& clock, std::time_t time) {
    std::string error;
    if (clock.SetPcClock(time, error)) return true;
    OutputWrite("The computer's clock could not be set: " + error, kColourError);
    return false;
}

namespace {

// Both live actions show the same busy window, log line and output line around their work.
template <class Work>
void LiveClockAction(AppContext& context, const char* text, Work work) {
    context.ui.ShowBusy(text);
    context.errorLog.WriteErrorLog(text);
    context.clock.SleepMs(100);
    OutputWrite(text, kColourAction);
    work();
    context.ui.HideBusy();
}

}  // namespace

void SetStationClockLive(AppContext& context) {
    LiveClockAction(context, "Setting station's clock", [&] {
        QueueStationCommand(context.process, StationProtocol::ClockCommand(context.clock.Now()));
    });
}

void SetPcClockLive(AppContext& context, std::time_t recordTime) {
    LiveClockAction(context, "Setting computer's clock",
                    [&] { SetPcClock(context.clock, recordTime); });
}
