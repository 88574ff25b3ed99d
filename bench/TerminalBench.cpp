// Cost of one received line in the terminal: shown in the list of at most 500
// lines (its control bytes spelt out), and with recording:1 also appended to
// the recording file in a temporary folder, as every line is while a response
// is recorded. A station sends about one line a second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "QuietSeams.h"
#include "app/AppContext.h"
#include "app/Terminal.h"
#include "comm/ProcessValues.h"
#include "model/ErrorLog.h"
#include "platform/Clock.h"
#include "platform/IniProfile.h"
#include "platform/ProgramPaths.h"

namespace {

struct FixedClock final : Clock {
    std::time_t Now() override { return 1700000000; }
    std::uint64_t TickMs() override { return 0; }
    void SleepMs(unsigned) override {}
    bool SetPcClock(std::time_t, std::string&) override { return false; }
};

struct DroppingQueue final : EventQueue {
    void Post(std::function<void()>) override {}
};

struct Home {
    Home() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/wetter-bench-XXXXXX";
        folder = ::mkdtemp(pattern.data()) ? pattern : std::string(".");
        std::ofstream(folder + "/wetterTermBefehl.ini")
            << "[UserDef1]\nCommand=?D\nSave=TRUE\nSavePath=response.txt\nSekTimeout=60\n";
    }
    ~Home() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string folder;
};

void BM_TerminalLine(benchmark::State& state) {
    Home home;
    IniProfile profile;
    ProgramPaths paths(home.folder + "/wetter");
    FixedClock clock;
    DroppingQueue events;
    NoTimers timers;
    SilentUi ui;
    ErrorLog errorLog(paths.InFolder("ErrLog.txt"), clock, events, ui);
    ProcessValues process;
    AppContext context{profile, paths, clock, events, timers, ui, errorLog, process};
    Terminal terminal(context);
    if (state.range(0) != 0) terminal.RunUserCommand(1);

    const std::string line =
        "\x1F"
        "12:00:00,10.03.24,TA12.5,TI21.0,FE61,FI45,DR1013.2,RE0.0,"
        "WG3.4,WR270,WS5.1,SO1,UV2,TB11.9,\r\n";
    for (auto _ : state) benchmark::DoNotOptimize(terminal.AddLine(line));
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(line.size()));
}
BENCHMARK(BM_TerminalLine)->ArgName("recording")->Arg(0)->Arg(1);

}  // namespace
