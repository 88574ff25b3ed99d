// Throughput of record reception during a logger read-out: ProcessLine with
// the force and logger flags (no sync) and StoreRecord appending to the data
// files of a temporary folder, for a station with 12 measured and 5 virtual sensors.
// initialising:1 is the read-out as it happens (inside the initialisation, no
// current-values file); initialising:0 also replaces AktWert for every record,
// which costs a rename each time. header:1 adds the additional folder with its
// header line, which is looked for at the top of the month file for every record.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "QuietSeams.h"
#include "app/CWetterDoc.h"
#include "comm/ProcessValues.h"
#include "model/ErrorLog.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/IniProfile.h"
#include "platform/PosixFileStore.h"
#include "platform/ProgramPaths.h"
#include "platform/Timers.h"
#include "platform/Ui.h"
#include "storage/RecordLine.h"

namespace {

constexpr std::array<const char*, 12> kIdentifiers = {"TA", "TI", "FE", "FI", "DR", "RE",
                                                      "WG", "WR", "WS", "SO", "UV", "TB"};
constexpr int kInterval = 300;

struct FixedClock final : Clock {
    std::time_t Now() override { return now; }
    std::uint64_t TickMs() override { return 0; }
    void SleepMs(unsigned) override {}
    bool SetPcClock(std::time_t, std::string&) override { return false; }
    std::time_t now = 0;
};

struct DroppingQueue final : EventQueue {
    void Post(std::function<void()>) override {}
};

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A station home in a fresh temporary folder, removed afterwards.
struct Home {
    explicit Home(bool additionalWithHeader) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/wetter-bench-XXXXXX";
        folder = ::mkdtemp(pattern.data()) ? pattern : std::string(".");
        const std::string additional =
            additionalWithHeader ? "VerzeichnisZusatz=" + folder + "/Zusatz\n" : std::string();
        Write(folder + "/wetterstation.ini",
              "[Speicherintervall]\nVerzeichnis=" + folder + "/Daten\n" + additional +
                  "Intervall/Sek=" + std::to_string(kInterval) +
                  "\n[SpeicherZusatz]\n1.Zeile=TRUE\nEndung=csv\n"
                  "[Dateninterpretation]\nMit_Speicher=0\nDaten_Speichern=1\n"
                  "[Virtuelle_Sensoren]\nSpeichern=TRUE\n");
        std::filesystem::create_directories(folder + "/Zusatz");
        std::string define;
        for (const char* id : kIdentifiers)
            define += std::string("[") + id + "]\nNachKomma=1\nFaktor=1\nObergrenze Wert=1000\n";
        Write(folder + "/wetterdefine.ini", define);
        Write(folder + "/wetterintern.ini",
              "[Interne Sensoren]\niKennung=TM,FR,TQ,WC,DP,\n"
              "[TM]\nFormel=(TA+TI)/2\nObergrenze Wert=1000\nUntergrenze Wert=-1000\n"
              "[FR]\nFormel=SQRT(FE)*2\nObergrenze Wert=1000\n"
              "[TQ]\nFormel=POW(TA;2)/100\nObergrenze Wert=1000\n"
              "[WC]\nFormel=TA-WG*0.1\nObergrenze Wert=1000\nUntergrenze Wert=-1000\n"
              "[DP]\nFormel=TA-(100-FE)/5\nObergrenze Wert=1000\nUntergrenze Wert=-1000\n");
    }
    ~Home() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string folder;
};

void BM_LoggerRecordsStored(benchmark::State& state) {
    Home home(state.range(1) != 0);
    ProgramPaths paths(home.folder + "/wetter");
    IniProfile profile;
    FixedClock clock;
    DroppingQueue events;
    NoTimers timers;
    SilentUi ui;
    ErrorLog errorLog(paths.InFolder("ErrLog.txt"), clock, events, ui);
    ProcessValues process;
    PosixFileStore files;
    AppContext context{profile,  paths,   clock,   events,  timers,  ui,
                       errorLog, process, nullptr, nullptr, nullptr, &files};
    CWetterDoc doc(context);
    doc.SensorIdentifiers().assign(kIdentifiers.begin(), kIdentifiers.end());
    doc.LoadSensorDefinitions();
    // A logger read-out runs inside the initialisation, which holds back the current-values file.
    process.initialisationRunning = state.range(0) != 0;

    setenv("TZ", "UTC", 1);
    tzset();
    std::time_t time = 946684800;  // 1 January 2000
    clock.now = time;
    long step = 0;
    std::string line;
    // Building the station line is timed too; it is small next to the rest.
    for (auto _ : state) {
        line = RecordLine::TimePrefix(time);
        for (std::size_t i = 0; i < kIdentifiers.size(); ++i)
            line += std::string(kIdentifiers[i]) + std::to_string((step + i * 7) % 400) + ".5,";
        line += "\r\n";
        doc.ProcessLine(line, true, true);
        time += kInterval;
        ++step;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["records/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LoggerRecordsStored)
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({1, 1})
    ->ArgNames({"initialising", "header"})
    ->UseRealTime();

}  // namespace
