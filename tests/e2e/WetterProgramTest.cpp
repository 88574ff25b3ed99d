// The real program against the simulated station over TCP, started and
// stopped as a user would: the logger read-out and live records in the data
// files, a second start that continues them, no record lost or stored off the
// storage grid where the read-out hands over to live records, a silent run,
// and a station that is killed and comes back.
#ifdef WETTER_EXECUTABLE

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
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

namespace {

using namespace std::chrono_literals;

constexpr int kInterval = 4;

// The program as a child process with its own home and its own user settings.
class Program {
public:
    Program(const StationHome& home, std::vector<std::string> arguments = {})
        : Program(WETTER_EXECUTABLE, home.folder.Path(), home.folder, std::move(arguments)) {}
    // Started as `executable` (its argv[0] too); without `wetterHome` the program finds its
    // files beside that name. `scratch` takes the user settings and the runtime folder.
    Program(const std::string& executable, const std::string& wetterHome, const TempFolder& scratch,
            std::vector<std::string> arguments = {}) {
        std::vector<std::string> environment = {"QT_QPA_PLATFORM=offscreen",
                                                "XDG_CONFIG_HOME=" + scratch.File("config"),
                                                "XDG_RUNTIME_DIR=" + scratch.File("runtime")};
        if (!wetterHome.empty()) environment.push_back("WETTER_HOME=" + wetterHome);
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string text = *entry;
            if (text.rfind("WETTER_HOME=", 0) != 0 && text.rfind("QT_QPA_PLATFORM=", 0) != 0 &&
                text.rfind("XDG_", 0) != 0)
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
        EXPECT_EQ(
            posix_spawn(&m_pid, executable.c_str(), nullptr, nullptr, argv.data(), envp.data()), 0);
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
    std::optional<int> Stop() {
        kill(m_pid, SIGTERM);
        return WaitForExit(10s);
    }

private:
    pid_t m_pid = -1;
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

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start + 2));
    return lines;
}

std::time_t TimeOf(const std::string& line) {
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

TEST_F(WetterProgram, ReadsTheLoggerStoresLiveRecordsAndContinuesOnTheNextStart) {
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WriteSettings();
    const std::time_t started = std::time(nullptr);
    {
        Program program(*this);
        ASSERT_TRUE(WaitFor([&] { return LastTime() >= started + 3 * kInterval; }, 40s));
        EXPECT_EQ(program.Stop(), 0);
    }
    ExpectStrictlyIncreasing();
    // The logger's records since the last stored one, byte for byte, in their place.
    const auto lines = DataLines();
    const auto seededEnd = std::find_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return TimeOf(l) > m_lastSeeded; });
    std::size_t index = static_cast<std::size_t>(seededEnd - lines.begin());
    int logged = 0;
    for (const auto& record : m_station->LoggerRecords()) {
        if (record.time <= m_lastSeeded || record.time >= started) continue;
        ASSERT_LT(index, lines.size());
        EXPECT_EQ(lines[index++], StoredLine(record));
        ++logged;
    }
    EXPECT_GE(logged, 60 / kInterval - 1);

    // A second start goes on where the first stopped, without a record twice.
    const std::time_t firstEnd = LastTime();
    std::this_thread::sleep_for(std::chrono::seconds(2 * kInterval));
    const std::time_t secondStarted = std::time(nullptr);
    {
        Program program(*this);
        ASSERT_TRUE(WaitFor([&] { return LastTime() >= secondStarted + 3 * kInterval; }, 40s));
        EXPECT_EQ(program.Stop(), 0);
    }
    ExpectStrictlyIncreasing();
    // What the station stored while the program was away comes from its logger.
    const std::string all = [&] {
        std::string text;
        for (const auto& line : DataLines()) text += line;
        return text;
    }();
    int pause = 0;
    for (const auto& record : m_station->LoggerRecords()) {
        if (record.time <= firstEnd || record.time >= secondStarted) continue;
        EXPECT_NE(all.find(StoredLine(record)), std::string::npos) << StoredLine(record);
        ++pause;
    }
    EXPECT_GE(pause, 1);
}

TEST_F(WetterProgram, NoRecordIsLostWhereTheReadOutHandsOverToLiveRecords) {
    // The station marks every line (each starts a storage interval): a line lost between
    // the initialisation and the live records would leave a gap line.
    m_interval = 1;
    m_cycle = 1;
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WriteSettings();
    Program program(*this);
    const std::time_t started = std::time(nullptr);
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= started + 5; }, 40s));

    // The same after a reconnect; meanwhile the station's logger keeps what it measures.
    m_station->Disconnect(1000ms);
    ASSERT_TRUE(WaitFor(
        [&] { return folder.Read("ErrLog.txt").find("Receive no data!") != std::string::npos; },
        15s));
    const std::time_t reconnected = std::time(nullptr);
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= reconnected + 10; }, 40s));
    EXPECT_EQ(program.Stop(), 0);
    ExpectStrictlyIncreasing();
    for (const auto& line : NewLines()) EXPECT_FALSE(IsGapLine(line)) << line;
}

TEST_F(WetterProgram, RecordsAfterTheReadOutStayOnTheStorageGrid) {
    m_interval = 10;
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WriteSettings();
    // Started just after a storage boundary, the read-out ends long before the next one:
    // on a live line that the station has not marked.
    const std::time_t boundary = orbsim::LastBoundaryAtOrBefore(std::time(nullptr), m_interval);
    std::this_thread::sleep_until(std::chrono::system_clock::from_time_t(boundary + m_interval) +
                                  200ms);
    Program program(*this);
    const std::time_t started = std::time(nullptr);
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= started + 2 * m_interval; }, 40s));
    EXPECT_EQ(program.Stop(), 0);
    ExpectStrictlyIncreasing();
    const auto lines = NewLines();
    EXPECT_GE(lines.size(), 6u);
    for (const auto& line : lines) {
        EXPECT_FALSE(IsGapLine(line)) << line;
        const std::tm fields = LocalTime(TimeOf(line));
        EXPECT_EQ((fields.tm_hour * 3600 + fields.tm_min * 60 + fields.tm_sec) % m_interval, 0)
            << "off the grid: " << line;
    }
}

TEST_F(WetterProgram, OpensTheSavedDiagramAndReadsItsPeriod) {
    m_lastSeeded = orbsim::LastBoundaryAtOrBefore(std::time(nullptr) - 60, m_interval);
    ASSERT_NO_FATAL_FAILURE(Seed(DataFolder()));
    WriteStation("[Programmstart]\nStart=0\n", m_interval);
    // The layout of an earlier run: the last 24 hours of TE and FE.
    std::filesystem::create_directories(folder.File("config/Norvika GmbH"));
    std::ofstream(folder.File("config/Norvika GmbH/wetter.conf"))
        << "[wetter1]\nCountViews=1\nView1\\DAZ=1\nView1\\SZ=24\nView1\\DA=0\n"
           "View1\\MO=0\nView1\\KE=\"TE,FE,\"\n";

    Program program(*this);
    std::this_thread::sleep_for(3s);
    ASSERT_EQ(program.Stop(), std::optional<int>(0));

    // A diagram in file mode opens its single-value windows when its read
    // completes; the layout saved at the end names them.
    std::ifstream saved(folder.File("config/Norvika GmbH/wetter.conf"));
    const std::string layout{std::istreambuf_iterator<char>(saved), {}};
    EXPECT_NE(layout.find("View1\\Sensor1\\KE=TE"), std::string::npos) << layout;
    EXPECT_NE(layout.find("View1\\Sensor2\\KE=FE"), std::string::npos) << layout;
    EXPECT_NE(layout.find("View1\\MO=0"), std::string::npos) << layout;
}

TEST_F(WetterProgram, SilentRunEndsAfterTheInitialisation) {
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WriteSettings();
    Program program(*this, {"-pc", "-SILENT"});
    EXPECT_EQ(program.WaitForExit(30s), 0);
    EXPECT_GT(LastTime(), m_lastSeeded) << "the logger was read before the end";
    ExpectStrictlyIncreasing();
}

TEST_F(WetterProgram, SecondNameThroughALinkIsASecondStationBesideTheLink) {
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WriteSettings();
    const std::vector<std::string> firstStation = DataLines();

    // "garten" links to the program in a folder of its own, and nothing tells it where to look.
    TempFolder garden;
    std::filesystem::create_symlink(WETTER_EXECUTABLE, garden.File("garten"));
    garden.Write("gartenstation.ini", "[Speicherintervall]\nIntervall/Sek=" +
                                          std::to_string(kInterval) + "\n" + StationSections());
    garden.Write("gartendefine.ini",
                 "[TE]\nNachKomma=1\nFaktor=1\nUntergrenze Wert=-50\nObergrenze Wert=100\n"
                 "[FE]\nNachKomma=0\nFaktor=1\nUntergrenze Wert=0\nObergrenze Wert=100\n");
    Seed(garden.File("Daten"));

    Program program(garden.File("garten"), "", garden, {"-SILENT"});
    EXPECT_EQ(program.WaitForExit(30s), 0);

    const std::vector<std::string> gardenLines = DataLinesIn(garden.File("Daten"));
    ASSERT_FALSE(gardenLines.empty());
    EXPECT_GT(TimeOf(gardenLines.back()), m_lastSeeded) << "the logger was read into its folder";
    EXPECT_EQ(DataLines(), firstStation) << "the first station is left alone";
    EXPECT_FALSE(std::filesystem::exists(garden.File("wetterstation.ini")));
}

TEST_F(WetterProgram, KilledStationIsReportedAndReconnectedWhenItIsBack) {
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WriteSettings();
    const int port = m_station->TcpPort();
    Program program(*this);
    const std::time_t started = std::time(nullptr);
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= started + kInterval; }, 40s));

    m_station->Stop();
    const std::time_t killed = std::time(nullptr);
    ASSERT_TRUE(WaitFor(
        [&] { return folder.Read("ErrLog.txt").find("Receive no data!") != std::string::npos; },
        15s));
    std::this_thread::sleep_for(std::chrono::seconds(3 * kInterval));

    // Back on the same port, but its logger lost what it measured while away.
    ASSERT_NO_FATAL_FAILURE(StartStation(port, 0));
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= killed + 5 * kInterval; }, 40s));
    EXPECT_EQ(program.Stop(), 0);
    ExpectStrictlyIncreasing();
    bool gap = false;
    for (const auto& line : DataLines()) gap = gap || (TimeOf(line) > killed && IsGapLine(line));
    EXPECT_TRUE(gap) << "the silent intervals are marked";
}

}  // namespace

#endif
