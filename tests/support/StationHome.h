#pragma once

#include <string>

#include "ManualClock.h"
#include "ManualEventQueue.h"
#include "ManualTimers.h"
#include "ScriptedUi.h"
#include "TempFolder.h"
#include "UtcTime.h"
#include "app/AppContext.h"
#include "comm/ProcessValues.h"
#include "model/ErrorLog.h"
#include "platform/Clock.h"
#include "platform/IniProfile.h"
#include "platform/ProgramPaths.h"

// A station's program folder in a temp folder: the settings files the tests
// write, the data folder "Daten" beside them. The station has the sensors TE
// (one decimal) and FE (no decimals) and stores every 300 s unless told otherwise.
struct StationHome {
    TempFolder folder;
    ProgramPaths paths{folder.File("wetter")};

    std::string DataFolder() const { return folder.File("Daten"); }
    std::string StationFile() const { return paths.Named("station.ini"); }

    // `sections` follow the storage section; `interval` is the storage interval in seconds.
    void WriteStation(const std::string& sections, int interval = 300) const {
        folder.Write("wetterstation.ini", "[Speicherintervall]\nVerzeichnis=" + DataFolder() +
                                              "\nIntervall/Sek=" + std::to_string(interval) + "\n" +
                                              sections);
        folder.Write("wetterdefine.ini",
                     "[TE]\nNachKomma=1\nFaktor=1\nUntergrenze Wert=-50\nObergrenze Wert=100\n"
                     "[FE]\nNachKomma=0\nFaktor=1\nUntergrenze Wert=0\nObergrenze Wert=100\n");
    }
};

// The seams of a document with a clock, timers and queue the test moves.
struct ManualWorld : StationHome {
    explicit ManualWorld(std::time_t now) : clock(now) {}

    IniProfile profile;
    ManualClock clock;
    ManualTimers timers{clock};
    ManualEventQueue events;
    ScriptedUi ui;
    ErrorLog errorLog{paths.InFolder("ErrLog.txt"), clock, events, ui};
    ProcessValues process;
    AppContext context{profile, paths, clock, events, timers, ui, errorLog, process};
};

// "hh:mm:ss,dd.mm.yy," of a time, as the station sends it.
inline std::string Stamp(std::time_t time) { return FormatLocalTime(time, "%H:%M:%S,%d.%m.%y,"); }
