// orbsim: a weather station for trying the program without hardware.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "sim/CommandLine.h"
#include "sim/SeedData.h"
#include "sim/Station.h"

int main(int argc, char** argv) {
    orbsim::PinLocalZone();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    orbsim::Invocation invocation;
    std::string error;
    if (!orbsim::ParseCommandLine(arguments, invocation, error)) {
        std::fprintf(stderr, "orbsim: %s\nTry 'orbsim --help'.\n", error.c_str());
        return 2;
    }
    if (invocation.mode == orbsim::Mode::kHelp) {
        std::fputs(orbsim::UsageText().c_str(), stdout);
        return 0;
    }
    if (invocation.mode == orbsim::Mode::kVersion) {
        std::puts("orbsim " ORBSIM_VERSION);
        return 0;
    }
    if (invocation.mode == orbsim::Mode::kSeed) {
        const orbsim::SeedResult result = orbsim::SeedDataFolder(invocation.seed);
        if (!result.ok) {
            std::fprintf(stderr, "orbsim: %s\n", result.error.c_str());
            return 1;
        }
        for (const std::string& file : result.files) std::printf("%s\n", file.c_str());
        std::fprintf(stderr, "orbsim: %zu records in %zu files\n", result.records,
                     result.files.size());
        return 0;
    }

    // Signals are taken by sigtimedwait below, never by the serving thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    orbsim::Station station(invocation.station);
    if (!station.Start(&error)) {
        std::fprintf(stderr, "orbsim: %s\n", error.c_str());
        return 1;
    }
    const bool tcp = invocation.station.link == orbsim::LinkKind::kTcp;
    std::string shown;
    if (tcp) {
        std::printf("%d\n", station.TcpPort());
        std::fflush(stdout);
        std::fprintf(stderr, "orbsim: station on 127.0.0.1:%d\n", station.TcpPort());
    }

    const timespec poll = {0, 200 * 1000 * 1000};
    for (;;) {
        if (!tcp) {
            const std::string path = station.DevicePath();
            if (!path.empty() && path != shown) {
                shown = path;
                std::printf("%s\n", path.c_str());
                std::fflush(stdout);
                std::fprintf(stderr, "orbsim: station on %s%s%s\n", path.c_str(),
                             invocation.station.linkPath.empty() ? "" : " linked as ",
                             invocation.station.linkPath.c_str());
            }
        }
        if (sigtimedwait(&stopSignals, nullptr, &poll) > 0) break;
    }
    station.Stop();
    return 0;
}
