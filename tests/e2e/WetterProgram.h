#pragma once

// The real program as a child process against the simulated station over TCP,
// each test with its own home folder and user settings.
#ifdef WETTER_EXECUTABLE

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "StationHome.h"
#include "platform/SystemClock.h"
#include "sim/SeedData.h"
#include "sim/Station.h"

extern char** environ;

namespace e2e {

using namespace std::chrono_literals;

inline constexpr int kInterval = 4;

// libcurl takes its proxy from these: the program's uploads must reach the test's servers.
inline bool IsProxyVariable(const std::string& entry) {
    const std::string name = entry.substr(0, entry.find('='));
    for (const char* proxy : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                              "ALL_PROXY", "no_proxy", "NO_PROXY"})
        if (name == proxy) return true;
    return false;
}

// The program as a child process with its own home and its own user settings.
class Program {
public:
    Program(const StationHome& home, std::vector<std::string> arguments = {})
        : Program(WETTER_EXECUTABLE, home.folder.Path(), home.folder, std::move(arguments)) {}
    // Started as `executable` (its argv[0] too); without `wetterHome` the program finds its
    // files beside that name. `scratch` takes the user settings and the runtime folder.
    Program(const std::string& executable, const std::string& wetterHome, const TempFolder& scratch,
            std::vector<std::string> arguments = {}) {
        // The service mode must do without any display, and tells on standard error.
        const bool headless =
            std::find(arguments.begin(), arguments.end(), "--headless") != arguments.end();
        std::vector<std::string> environment = {"XDG_CONFIG_HOME=" + scratch.File("config"),
                                                "XDG_RUNTIME_DIR=" + scratch.File("runtime")};
        if (!headless) environment.push_back("QT_QPA_PLATFORM=offscreen");
        if (!wetterHome.empty()) environment.push_back("WETTER_HOME=" + wetterHome);
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string text = *entry;
            const bool display = text.rfind("DISPLAY=", 0) == 0 ||
                                 text.rfind("WAYLAND_DISPLAY=", 0) == 0 ||
                                 text.rfind("QT_QPA_PLATFORM=", 0) == 0;
            if (text.rfind("WETTER_HOME=", 0) != 0 && !display && text.rfind("XDG_", 0) != 0 &&
                !IsProxyVariable(text))
                environment.push_back(text);
        }
        std::filesystem::create_directories(scratch.File("runtime"));
        std::filesystem::permissions(scratch.File("runtime"), std::filesystem::perms::owner_all);
        arguments.insert(arguments.begin(), executable);
        std::vector<char*> argv, envp;
        for (auto& a : arguments) argv.push_back(a.data());
        argv.push_back(nullptr);
        for (auto& e : environment) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        m_messages = scratch.File("stderr.txt");
        if (headless)
            posix_spawn_file_actions_addopen(&actions, 2, m_messages.c_str(),
                                             O_WRONLY | O_CREAT | O_APPEND, 0644);
        EXPECT_EQ(
            posix_spawn(&m_pid, executable.c_str(), &actions, nullptr, argv.data(), envp.data()),
            0);
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Program() {
        if (m_pid > 0 && !m_exit) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    // The exit code once the program has ended, or nothing after `limit`.
    std::optional<int> WaitForExit(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!m_exit && std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid)
                m_exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            else
                std::this_thread::sleep_for(50ms);
        }
        return m_exit;
    }
    std::optional<int> Stop(int signal = SIGTERM) {
        kill(m_pid, signal);
        return WaitForExit(10s);
    }
    // What the service mode wrote on standard error.
    std::string Messages() const {
        std::ifstream in(m_messages, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    std::string m_messages;
    std::optional<int> m_exit;
};

template <class Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(100ms);
    }
    return true;
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start + 2));
    return lines;
}

inline std::time_t TimeOf(const std::string& line) {
    std::tm fields{};
    std::istringstream in(line);
    char c;
    in >> fields.tm_hour >> c >> fields.tm_min >> c >> fields.tm_sec >> c >> fields.tm_mday >> c >>
        fields.tm_mon >> c >> fields.tm_year;
    fields.tm_mon -= 1;
    fields.tm_year += 100;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

class WetterProgram : public ::testing::Test, protected StationHome {
protected:
    ~WetterProgram() override {
        if (m_station) m_station->Stop();
    }

    // Stored data up to a minute ago (seeded at the first start): the logger holds what
    // came after.
    void StartStation(int port = 0, double historyHours = 0.5) {
        if (m_lastSeeded == 0) {
            m_lastSeeded = orbsim::LastBoundaryAtOrBefore(std::time(nullptr) - 60, m_interval);
            ASSERT_NO_FATAL_FAILURE(Seed(DataFolder()));
        }
        orbsim::StationOptions options;
        options.link = orbsim::LinkKind::kTcp;
        options.tcpPort = port;
        options.cycleSeconds = m_cycle;
        options.storageInterval = m_interval;
        options.historyHours = historyHours;
        options.sensors = {{"TE", 1}, {"FE", 0}};
        m_station = std::make_unique<orbsim::Station>(options);
        std::string error;
        ASSERT_TRUE(m_station->Start(&error)) << error;
    }
    // The sections after the storage settings, for the running simulated station.
    std::string StationSections() const {
        return "[DataParams]\nSettsID=2\n[TCP/IP Schnittstelle]\nIP-Adresse=127.0.0.1\nIP-Port=" +
               std::to_string(m_station->TcpPort()) +
               "\n[Programmstart]\nStart=1\n[Dateninterpretation]\nMit_Speicher=0\n"
               "Daten_Speichern=0\n[Station]\nStation=1\n[Timeout]\nTimeout=3.0\n"
               "[Verbindungsabbruch]\nReconnectAktiv=TRUE\nReconnect=1.0\n"
               "ReconnectTimeout=5.0\n";
    }
    void WriteSettings() { WriteStation(StationSections(), m_interval); }
    // Monthly files of `dataFolder` up to the last seeded record.
    void Seed(const std::string& dataFolder) const {
        orbsim::SeedOptions seed;
        seed.folder = dataFolder;
        seed.days = 1;
        seed.interval = m_interval;
        seed.sensors = {{"TE", 1}, {"FE", 0}};
        seed.end = m_lastSeeded;
        ASSERT_TRUE(orbsim::SeedDataFolder(seed).ok);
    }
    // Every line of the data files of `dataFolder`, oldest month first.
    static std::vector<std::string> DataLinesIn(const std::string& dataFolder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dataFolder))
            if (entry.path().filename().string().find("_") == 2 &&
                entry.path().extension() == ".orb")
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return a.substr(3, 4) + a.substr(0, 2) < b.substr(3, 4) + b.substr(0, 2);
        });
        std::vector<std::string> lines;
        for (const auto& name : names) {
            std::ifstream in(dataFolder + "/" + name, std::ios::binary);
            const std::string text{std::istreambuf_iterator<char>(in), {}};
            for (auto& line : Lines(text)) lines.push_back(line);
        }
        return lines;
    }
    std::vector<std::string> DataLines() const { return DataLinesIn(DataFolder()); }
    std::time_t LastTime() const {
        const auto lines = DataLines();
        return lines.empty() ? 0 : TimeOf(lines.back());
    }
    // Records are stored in time order, each once.
    void ExpectStrictlyIncreasing() const {
        std::time_t previous = 0;
        for (const auto& line : DataLines()) {
            const std::time_t time = TimeOf(line);
            ASSERT_GT(time, previous) << "out of order or twice: " << line;
            previous = time;
        }
    }
    static std::string StoredLine(const orbsim::LoggerRecord& record) {
        std::string line = orbsim::FormatTimeStamp(record.time);
        for (const auto& reading : record.readings)
            line += reading.id + orbsim::FormatValue(reading.value, reading.decimals) + ",";
        return line + "\r\n";
    }

    // Stored records after the seeded ones.
    std::vector<std::string> NewLines() const {
        std::vector<std::string> lines;
        for (const auto& line : DataLines())
            if (TimeOf(line) > m_lastSeeded) lines.push_back(line);
        return lines;
    }
    static bool IsGapLine(const std::string& line) {
        return line.find("TE-99999,FE-99999,") != std::string::npos;
    }

    SystemClock m_clock;  // names the local zone once, before the station's thread starts
    int m_interval = kInterval;
    double m_cycle = 0.5;
    std::time_t m_lastSeeded = 0;
    std::unique_ptr<orbsim::Station> m_station;
};

}  // namespace e2e

#endif
