// Stores one live record a minute through a station document on the real file
// system and prints each record's time once ProcessLine has returned, until it
// is killed or COUNT records are stored.
// Usage: record_writer HOME FIRST_TIME COUNT
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "ManualClock.h"
#include "ManualEventQueue.h"
#include "ManualTimers.h"
#include "RecordWriterLines.h"
#include "ScriptedUi.h"
#include "UtcTime.h"
#include "app/CWetterDoc.h"
#include "comm/ProcessValues.h"
#include "model/ErrorLog.h"
#include "platform/IniProfile.h"
#include "platform/PosixFileStore.h"
#include "platform/ProgramPaths.h"

namespace {
void WriteFile(const std::string& path, const std::string& bytes) {
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: record_writer HOME FIRST_TIME COUNT\n");
        return 2;
    }
    UseUtcZone();
    const std::string home = argv[1];
    const std::time_t first = std::strtoll(argv[2], nullptr, 10);
    const long count = std::strtol(argv[3], nullptr, 10);

    WriteFile(
        home + "/wetterstation.ini",
        "[Speicherintervall]\nVerzeichnis=" + home +
            "/Daten\nIntervall/Sek=" + std::to_string(RecordWriterLines::kInterval) +
            "\n[Dateninterpretation]\nMit_Speicher=0\nDaten_Speichern=1\n[Station]\nStation=1\n");
    std::string define;
    for (const char* id : RecordWriterLines::kIdentifiers)
        define += std::string("[") + id + "]\nNachKomma=1\nFaktor=1\nObergrenze Wert=1000\n";
    WriteFile(home + "/wetterdefine.ini", define);

    ProgramPaths paths(home + "/wetter");
    IniProfile profile;
    ManualClock clock(first);
    ManualTimers timers(clock);
    ManualEventQueue events;
    ScriptedUi ui;
    ErrorLog errorLog(paths.InFolder("ErrLog.txt"), clock, events, ui);
    ProcessValues process;
    PosixFileStore files;
    AppContext context{profile,  paths,   clock,   events,  timers,  ui,
                       errorLog, process, nullptr, nullptr, nullptr, &files};
    CWetterDoc doc(context);
    doc.SensorIdentifiers().assign(RecordWriterLines::kIdentifiers.begin(),
                                   RecordWriterLines::kIdentifiers.end());
    doc.LoadSensorDefinitions();

    for (long i = 0; i < count; ++i) {
        const std::time_t time = first + i * RecordWriterLines::kInterval;
        clock.SetNow(time);
        doc.ProcessLine(RecordLine::TimePrefix(time) + RecordWriterLines::Fields(time) + "\r\n",
                        false, false);
        events.RunPending();
        if (!ui.shown.empty()) {
            std::fprintf(stderr, "record_writer: %s\n", ui.shown.front().text.c_str());
            return 1;
        }
        std::printf("%lld\n", static_cast<long long>(time));
        std::fflush(stdout);
    }
    return 0;
}
