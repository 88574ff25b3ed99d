#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "StationClient.h"
#include "TempFolder.h"
#include "sim/Station.h"

namespace {

using namespace std::chrono_literals;

const std::time_t kNoon = 1709294400;  // 2024-03-01 12:00:00 UTC

bool IsRecord(const std::string& line) { return !line.empty() && line[0] >= '0' && line[0] <= '9'; }
bool IsStored(const std::string& line) { return line.ends_with("\x1F\r\n"); }

std::time_t LineTime(const std::string& line) {
    int hour = 0, minute = 0, second = 0, day = 0, month = 0, year = 0;
    if (std::sscanf(line.c_str(), "%2d:%2d:%2d,%2d.%2d.%2d,", &hour, &minute, &second, &day, &month,
                    &year) != 6) {
        return 0;
    }
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d%02d%02d%02d%02d%02d", hour, minute, second, day,
                  month, year);
    return orbsim::ParseCommandTime(digits).value_or(0);
}

// What the program's receive filter keeps of a line.
std::string Filtered(const std::string& raw) {
    std::string kept;
    for (const char c : raw) {
        // 31..127 as a signed char: everything from 0x80 up is negative.
        if (static_cast<signed char>(c) >= 31 || c == '\n' || c == '\r' || c == '\a') kept += c;
    }
    return kept;
}

auto Is(const std::string& expected) {
    return [expected](const std::string& line) { return line == expected; };
}

class OrbsimStation : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }

    orbsim::StationOptions Fast() const {
        orbsim::StationOptions options;
        options.cycleSeconds = 0.2;
        options.linkPath = m_folder.File("station");
        return options;
    }

    orbsim::Station& Start(orbsim::StationOptions options) {
        m_station = std::make_unique<orbsim::Station>(std::move(options));
        std::string error;
        EXPECT_TRUE(m_station->Start(&error)) << error;
        return *m_station;
    }

    TempFolder m_folder;
    std::unique_ptr<orbsim::Station> m_station;
};

struct CommandRow {
    const char* command;
    int interval;
    int resetHour;
    int altitude;
};

TEST_F(OrbsimStation, CommandsAreEchoedInOrderAndChangeTheStation) {
    orbsim::StationOptions options = Fast();
    options.storageInterval = 600;
    orbsim::Station& station = Start(options);
    StationClient client = StationClient::Pty(station.DevicePath());
    ASSERT_TRUE(client.IsOpen());
    ASSERT_TRUE(client.Send("")) << "an empty line is no command";

    const CommandRow rows[] = {
        {"!Z30", 300, 0, 0}, {"!ZS15", 15, 0, 0},  {"!ZD2", 4, 0, 0},
        {"!R5", 4, 5, 0},    {"!O250", 4, 5, 250}, {"!P", 4, 5, 250},
        {"!Zx", 4, 5, 250},  {"HELLO", 4, 5, 250}, {"!R", 4, 5, 250},
    };
    std::vector<std::string> sent;
    for (const CommandRow& row : rows) {
        ASSERT_TRUE(client.Send(row.command));
        sent.push_back(row.command);
        ASSERT_TRUE(client.ReadUntil(Is("<" + std::string(row.command) + ">\r\n"), 1s))
            << row.command;
        EXPECT_EQ(station.StorageInterval(), row.interval) << row.command;
        EXPECT_EQ(station.ResetHour(), row.resetHour) << row.command;
        EXPECT_EQ(station.Altitude(), row.altitude) << row.command;
    }
    EXPECT_EQ(station.ReceivedCommands(), sent);
}

struct BaudRow {
    const char* name;
    int stationBaud;
    speed_t lineSpeed;
    int lineBaud;
    bool answered;
};
void PrintTo(const BaudRow& row, std::ostream* os) { *os << row.name; }

class OrbsimBaudSearch : public OrbsimStation, public ::testing::WithParamInterface<BaudRow> {};

TEST_P(OrbsimBaudSearch, IsAnsweredOnlyAtTheStationsRate) {
    orbsim::StationOptions options = Fast();
    options.baudRate = GetParam().stationBaud;
    orbsim::Station& station = Start(options);
    StationClient client = StationClient::Pty(station.DevicePath(), GetParam().lineSpeed);
    ASSERT_TRUE(client.Send("?X"));
    const bool answered = client.ReadUntil(Is("<?X>\r\n"), 700ms).has_value();
    EXPECT_EQ(answered, GetParam().answered);
    EXPECT_EQ(station.LineBaudRate(), GetParam().lineBaud);
    EXPECT_TRUE(station.WaitForCommand("?X", 0ms)) << "heard even when not answered";
}

INSTANTIATE_TEST_SUITE_P(Rows, OrbsimBaudSearch,
                         ::testing::Values(BaudRow{"At9600", 9600, B9600, 9600, true},
                                           BaudRow{"At38400", 9600, B38400, 38400, false},
                                           BaudRow{"At19200", 9600, B19200, 19200, false},
                                           BaudRow{"StationAt38400", 38400, B38400, 38400, true}));

TEST_F(OrbsimStation, StoredLinesAreTheFirstOfEachStorageInterval) {
    orbsim::StationOptions options = Fast();
    options.cycleSeconds = 0.3;  // does not meet every boundary exactly
    options.storageInterval = 2;
    orbsim::Station& station = Start(options);
    StationClient client = StationClient::Pty(station.DevicePath());
    std::vector<std::string> lines;
    for (int i = 0; i < 10; ++i) {
        const auto line = client.ReadLine(1s);
        ASSERT_TRUE(line);
        ASSERT_TRUE(IsRecord(*line)) << *line;
        lines.push_back(*line);
    }
    const auto logger = station.LoggerRecords();
    int stored = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::time_t before = LineTime(lines[i - 1]);
        const std::time_t now = LineTime(lines[i]);
        ASSERT_GE(now, before);
        const bool newInterval = now / 2 != before / 2;
        EXPECT_EQ(IsStored(lines[i]), newInterval) << lines[i];
        EXPECT_TRUE(lines[i].ends_with(IsStored(lines[i]) ? ",\x1F\r\n" : ",\r\n"));
        if (IsStored(lines[i])) {
            ++stored;
            const bool logged = std::any_of(logger.begin(), logger.end(),
                                            [&](const auto& record) { return record.time == now; });
            EXPECT_TRUE(logged) << "the logger keeps what the line marked";
        }
    }
    EXPECT_GE(stored, 1);
}

TEST_F(OrbsimStation, ClockCommandMovesTheStationClockAndItsStorageTimes) {
    orbsim::Station& station = Start(Fast());
    StationClient client = StationClient::Pty(station.DevicePath());
    const std::string command = "!U" + orbsim::FormatCommandTime(kNoon - 2);
    ASSERT_TRUE(client.Send(command));
    ASSERT_TRUE(client.ReadUntil(Is("<" + command + ">\r\n"), 1s));
    const std::time_t now = station.StationTime();
    EXPECT_TRUE(now >= kNoon - 2 && now <= kNoon) << now;

    const auto lines = client.ReadUntil(
        [](const std::string& line) { return IsRecord(line) && LineTime(line) >= kNoon; }, 4s);
    ASSERT_TRUE(lines);
    for (const std::string& line : *lines) {
        ASSERT_TRUE(line.find(",01.03.24,") == 8) << line;
        EXPECT_EQ(IsStored(line), LineTime(line) == kNoon) << line;
    }
    EXPECT_EQ(LineTime(lines->back()), kNoon);
    ASSERT_FALSE(station.LoggerRecords().empty());
    EXPECT_EQ(station.LoggerRecords().back().time, kNoon);
}

TEST_F(OrbsimStation, ReplaySendsOnlyRecordsLaterThanTheGivenTimeThenLiveLines) {
    orbsim::StationOptions options = Fast();
    options.historyHours = 1.0;
    options.replayPaceMs = 10;
    orbsim::Station& station = Start(options);
    const auto logger = station.LoggerRecords();
    ASSERT_GE(logger.size(), 12u);
    const std::size_t cut = logger.size() - 4;
    StationClient client = StationClient::Pty(station.DevicePath());
    const std::time_t asked = station.StationTime();

    const std::string command = "?D" + orbsim::FormatCommandTime(logger[cut].time);
    ASSERT_TRUE(client.Send(command));
    ASSERT_TRUE(client.ReadUntil(Is("<" + command + ">\r\n"), 1s));
    for (std::size_t i = cut + 1; i < logger.size(); ++i) {
        const auto line = client.ReadLine(1s);
        ASSERT_TRUE(line);
        EXPECT_EQ(*line, orbsim::FormatRecordLine(logger[i].time, logger[i].readings, true));
    }
    const auto live = client.ReadLine(1s);
    ASSERT_TRUE(live);
    EXPECT_GE(LineTime(*live), asked) << "a live line ends the replay: " << *live;
}

TEST_F(OrbsimStation, BangCEndsAReplayAndLiveLinesGoOn) {
    orbsim::StationOptions options = Fast();
    options.historyHours = 2.0;
    options.storageInterval = 60;
    options.replayPaceMs = 100;
    orbsim::Station& station = Start(options);
    const auto logger = station.LoggerRecords();
    StationClient client = StationClient::Pty(station.DevicePath());
    const std::time_t asked = station.StationTime();
    const std::string command = "?D" + orbsim::FormatCommandTime(logger.front().time - 1);
    ASSERT_TRUE(client.Send(command));
    ASSERT_TRUE(client.ReadUntil(Is("<" + command + ">\r\n"), 1s));
    const auto first = client.ReadLine(1s);
    ASSERT_TRUE(first);
    EXPECT_EQ(LineTime(*first), logger.front().time);

    ASSERT_TRUE(client.Send("!C"));
    const auto replayed = client.ReadUntil(Is("<!C>\r\n"), 1s);
    ASSERT_TRUE(replayed);
    EXPECT_LT(replayed->size(), 10u);
    for (int i = 0; i < 3; ++i) {
        const auto line = client.ReadLine(1s);
        ASSERT_TRUE(line);
        EXPECT_GE(LineTime(*line), asked) << *line;
    }
}

struct FaultRow {
    const char* name;
    orbsim::CommandFaultKind kind;
    const char* answer;  // to "!Z30"; empty: none
};
void PrintTo(const FaultRow& row, std::ostream* os) { *os << row.name; }

class OrbsimCommandFaults : public OrbsimStation, public ::testing::WithParamInterface<FaultRow> {};

TEST_P(OrbsimCommandFaults, HitOnlyTheirPrefixLeaveTheStationUnchangedAndWearOff) {
    orbsim::StationOptions options = Fast();
    options.storageInterval = 600;
    options.faults.commands.push_back({GetParam().kind, "!Z", 1});
    orbsim::Station& station = Start(options);
    StationClient client = StationClient::Pty(station.DevicePath());

    ASSERT_TRUE(client.Send("!R3"));
    ASSERT_TRUE(client.ReadUntil(Is("<!R3>\r\n"), 1s));
    ASSERT_TRUE(client.Send("!Z30"));
    ASSERT_TRUE(station.WaitForCommand("!Z30", 1s));
    std::vector<std::string> answers;
    const std::string bytes = client.Drain(500ms);
    for (std::size_t start = 0, end; (end = bytes.find('\n', start)) != std::string::npos;
         start = end + 1) {
        const std::string line = bytes.substr(start, end + 1 - start);
        if (!IsRecord(line)) answers.push_back(line);
    }
    if (*GetParam().answer) {
        EXPECT_EQ(answers, std::vector<std::string>{GetParam().answer});
    } else {
        EXPECT_TRUE(answers.empty());
    }
    EXPECT_EQ(station.StorageInterval(), 600) << "a command hit by a fault is not carried out";

    ASSERT_TRUE(client.Send("!Z30"));
    ASSERT_TRUE(client.ReadUntil(Is("<!Z30>\r\n"), 1s));
    EXPECT_EQ(station.StorageInterval(), 300);
    EXPECT_EQ(station.ReceivedCommands(), (std::vector<std::string>{"!R3", "!Z30", "!Z30"}));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OrbsimCommandFaults,
    ::testing::Values(FaultRow{"NoEcho", orbsim::CommandFaultKind::kNoEcho, ""},
                      FaultRow{"WrongEcho", orbsim::CommandFaultKind::kWrongEcho, "<!Q>\r\n"},
                      FaultRow{"Denied", orbsim::CommandFaultKind::kDenied, "DENIED: <!Z30>\r\n"}));

TEST_F(OrbsimStation, SilenceAndDamagedLinesSwitchWhileRunning) {
    orbsim::Station& station = Start(Fast());
    StationClient client = StationClient::Pty(station.DevicePath());
    ASSERT_TRUE(client.ReadLine(1s));

    station.SetSilent(true);
    client.Drain(300ms);  // what was already under way
    ASSERT_TRUE(client.Send("!P"));
    EXPECT_EQ(client.Drain(600ms), "");
    EXPECT_TRUE(station.WaitForCommand("!P", 0ms)) << "a silent station still listens";

    orbsim::Faults faults;
    faults.garbage = true;
    faults.noTrailingComma = true;
    station.SetFaults(faults);
    client.Drain(100ms);
    ASSERT_TRUE(client.Send("!O5"));
    bool echoed = false;
    for (int i = 0; i < 6; ++i) {
        const auto raw = client.ReadLine(1s);
        ASSERT_TRUE(raw);
        const std::string line = Filtered(*raw);
        EXPECT_NE(line, *raw) << "garbage in every line";
        if (line == "<!O5>\r\n") {
            echoed = true;
            continue;
        }
        ASSERT_TRUE(IsRecord(line)) << line;
        const std::size_t end = line.size() - (IsStored(line) ? 3 : 2);
        EXPECT_TRUE(line[end - 1] >= '0' && line[end - 1] <= '9') << "no trailing comma: " << line;
        EXPECT_EQ(line.substr(end), IsStored(line) ? "\x1F\r\n" : "\r\n");
    }
    EXPECT_TRUE(echoed);
}

TEST_F(OrbsimStation, PtySurvivesReopeningAndHangsUpOnDemand) {
    orbsim::Station& station = Start(Fast());
    const std::string link = m_folder.File("station");
    for (int i = 0; i < 10; ++i) {
        StationClient client = StationClient::Pty(link);
        ASSERT_TRUE(client.Send("!P")) << i;
        ASSERT_TRUE(client.ReadUntil(Is("<!P>\r\n"), 1s)) << i;
    }

    StationClient old = StationClient::Pty(link);
    const std::string oldPath = station.DevicePath();
    station.Disconnect(300ms);
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (!(old.Events() & POLLHUP) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(old.Events() & POLLHUP) << "the program sees the device go";
    EXPECT_EQ(::access(link.c_str(), F_OK), -1) << "the link goes while the station is away";

    std::string path;
    while ((path = station.DevicePath()).empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_FALSE(path.empty());
    char target[256] = {};
    ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), path) << "the link follows the new pty (was " << oldPath << ")";
    StationClient again = StationClient::Pty(link);
    ASSERT_TRUE(again.Send("!N"));
    EXPECT_TRUE(again.ReadUntil(Is("<!N>\r\n"), 1s));

    const auto before = std::chrono::steady_clock::now();
    station.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 500ms);
    EXPECT_EQ(::access(link.c_str(), F_OK), -1);
}

TEST_F(OrbsimStation, TcpServesOneClientAtATimeAndTheNextWhenItLeaves) {
    orbsim::StationOptions options = Fast();
    options.link = orbsim::LinkKind::kTcp;
    options.baudRate = 38400;  // no line rate on TCP: "?X" is always answered
    orbsim::Station& station = Start(options);
    ASSERT_GT(station.TcpPort(), 0);
    EXPECT_EQ(station.DevicePath(), "");

    StationClient first = StationClient::Tcp(station.TcpPort());
    ASSERT_TRUE(first.IsOpen());
    EXPECT_EQ(first.ReadLine(1s), "\r\n") << "at once, for the program's 2 s open wait";
    ASSERT_TRUE(first.Send("?X"));
    ASSERT_TRUE(first.ReadUntil(Is("<?X>\r\n"), 1s));
    const auto record = first.ReadLine(1s);
    ASSERT_TRUE(record);
    EXPECT_TRUE(IsRecord(*record));

    StationClient second = StationClient::Tcp(station.TcpPort());
    ASSERT_TRUE(second.IsOpen());
    EXPECT_EQ(second.Drain(400ms), "") << "waits while the first is served";
    first.Close();
    EXPECT_EQ(second.ReadLine(1s), "\r\n");
    ASSERT_TRUE(second.Send("!P"));
    ASSERT_TRUE(second.ReadUntil(Is("<!P>\r\n"), 1s));

    station.Disconnect();
    EXPECT_TRUE(second.WaitForEnd(1s));
    StationClient third = StationClient::Tcp(station.TcpPort());
    EXPECT_EQ(third.ReadLine(1s), "\r\n");
    EXPECT_EQ(station.ReceivedCommands(), (std::vector<std::string>{"?X", "!P"}));
}

}  // namespace
