// One input = one station line, through the record reception of two station
// documents in homes on /dev/shm: a logger station that stores marked records
// (clock mode 3), and a station without logger that stores by interval, with
// virtual sensors and additional storage. Each line goes in live, then as a
// logger record with the force flag. Whatever is stored must be found again.
// Inputs share the documents, which are reset to their opening state each time.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "QuietSeams.h"
#include "app/CWetterDoc.h"
#include "comm/ProcessValues.h"
#include "model/CSumHour.h"
#include "model/ErrorLog.h"
#include "model/OutputList.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/IniProfile.h"
#include "platform/PosixFileStore.h"
#include "platform/ProgramPaths.h"
#include "platform/Timers.h"
#include "platform/Ui.h"
#include "storage/DataFiles.h"

namespace {

constexpr std::time_t kNow = 1710072000;  // 10 March 2024, 12:00:00 UTC

struct FixedClock final : Clock {
    std::time_t Now() override { return kNow; }
    std::uint64_t TickMs() override { return 0; }
    void SleepMs(unsigned) override {}
    bool SetPcClock(std::time_t, std::string&) override { return false; }
};

// Posted calls run at once, as soon as the user-interface thread would take them.
struct RunningQueue final : EventQueue {
    void Post(std::function<void()> call) override { call(); }
};

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

struct Station {
    // `settings` gives the station settings file for the home folder.
    explicit Station(const std::function<std::string(const std::string& home)>& settings)
        : home(MakeHome()),
          paths(home + "/wetter"),
          errorLog(home + "/ErrLog.txt", clock, events, ui) {
        Write(home + "/wetterstation.ini", settings(home));
        Write(home + "/wetterdefine.ini",
              "[TE]\nNachKomma=1\nFaktor=1\nUntergrenze Wert=-50\nObergrenze Wert=60\n"
              "[FE]\nNachKomma=0\nFaktor=0.5\nOffset=2\nObergrenze Wert=100\n"
              "[WG]\nNachKomma=2\nBeaufort=ja\nObergrenze Wert=300\n");
        Write(home + "/wetterintern.ini",
              "[Interne Sensoren]\niKennung=TM,WC,\n"
              "[TM]\nFormel=TE*2+FE\nNachKomma=2\nUntergrenze Wert=-1000\nObergrenze Wert=1000\n"
              "Summe Stunde=ja\n"
              "[WC]\nFormel=13.12+0.6215*TE-11.37*POW(WG;0.16)\nNachKomma=1\n"
              "Untergrenze Format=1\nUntergrenze Wert=TE\nObergrenze Wert=100\n"
              "Unterschreit Format=2\nUnterschreitwert=TE\n");
        Reset();
    }

    static std::string MakeHome() {
        static std::vector<std::string> homes;
        std::string pattern = "/dev/shm/wetter-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        if (homes.empty()) {
            std::atexit([] {
                std::error_code ignored;
                for (const std::string& home : homes) std::filesystem::remove_all(home, ignored);
            });
        }
        homes.push_back(pattern);
        return pattern;
    }

    void Run(std::string_view line) {
        // One document for the whole run (loading settings and sensors dominates
        // otherwise), brought back to its state after opening before each input.
        if (!doc) {
            doc = std::make_unique<CWetterDoc>(context);
            doc->SensorIdentifiers() = {"TE", "FE", "WG"};
            doc->LoadSensorDefinitions();
        }
        doc->SetLastStoredTime(0);
        doc->SetLastReceivedTime(3661);  // 1 January 1970, 01:01:01
        doc->SetRecordStoredSinceStart(false);
        doc->ClearHistories();
        for (const auto& sensor : doc->Sensors().Sensors()) {
            if (sensor->m_sumHour) {
                sensor->m_sumHour->Values.clear();
                sensor->m_sumHour->Total = 0.0f;
            }
        }
        if (doc->ClockWarningShown())
            doc->ReportConnectionState(CWetterDoc::ConnectionState::kWrongStationClock);

        doc->ProcessLine(line, false, false);
        doc->ProcessLine(line, true, true);
        if (doc->RecordStoredSinceStart()) {
            // What was stored must be found again, at the time it was stored for.
            DataFiles files(store);
            const auto last =
                files.FindLastRecord(doc->Storage().dataFolder, process.settings.dataFileExtension,
                                     doc->LastStoredTime());
            if (!last || last->time != doc->LastStoredTime()) std::abort();
            Reset();
        }
        // The output window's lines would pile up over the run.
        OutputList::Process().Clear();
    }

    // Empty data folders for the next input.
    void Reset() {
        std::error_code ignored;
        std::filesystem::remove_all(home + "/Daten", ignored);
        std::filesystem::remove_all(home + "/Zusatz", ignored);
        std::filesystem::create_directory(home + "/Daten", ignored);
        std::filesystem::create_directory(home + "/Zusatz", ignored);
    }

    std::string home;
    ProgramPaths paths;
    IniProfile profile;
    FixedClock clock;
    RunningQueue events;
    NoTimers timers;
    SilentUi ui;
    ErrorLog errorLog;
    ProcessValues process;
    PosixFileStore store;
    AppContext context{profile,  paths,   clock,   events,  timers,  ui,
                       errorLog, process, nullptr, nullptr, nullptr, &store};
    std::unique_ptr<CWetterDoc> doc;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Station* const stations[] = {
        [] {
            setenv("TZ", "UTC", 1);
            tzset();
            auto* station = new Station([](const std::string& home) {
                return "[Speicherintervall]\nVerzeichnis=" + home +
                       "/Daten\nIntervall/Sek=300\n[Dateninterpretation]\nMit_Speicher=0\n"
                       "Daten_Speichern=0\n[Station]\nStation=0\n[Speicher-ID]\nID=A1\n";
            });
            station->process.commandLine.clockMode = ClockMode::kWarnOnly;
            return station;
        }(),
        new Station([](const std::string& home) {
            return "[Speicherintervall]\nVerzeichnis=" + home +
                   "/Daten\nIntervall/Sek=60\nVerzeichnisZusatz=" + home +
                   "/Zusatz\n[SpeicherZusatz]\nOhne=7\nTrenn=5\n1.Zeile=TRUE\nEndung=csv\n"
                   "[Dateninterpretation]\nMit_Speicher=1\nDaten_Speichern=1\n[Station]\n"
                   "Station=0\n[Virtuelle_Sensoren]\nSpeichern=TRUE\n";
        })};
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    for (Station* station : stations) station->Run(line);
    return 0;
}
