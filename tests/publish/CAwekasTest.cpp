#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "AwekasStation.h"
#include "FakeFileStore.h"
#include "FakeTcpSocket.h"
#include "ManualClock.h"
#include "ManualEventQueue.h"
#include "ScriptedUi.h"
#include "UtcTime.h"
#include "model/OutputList.h"
#include "publish/AwekasLog.h"
#include "publish/CAwekas.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const std::vector<std::string> kIdentifiers = {"TE", "FE", "DR", "RE", "WG", "WR", "WS",
                                               "SO", "UV", "LX", "SH", "BT", "RR"};
const std::string kUrlStart =
    "http://awekas.example.net/eingabe_pruefung.php/eingabe_pruefung.php?val=";
const std::string kFrame(92, '#');
const std::string kLogPath = "/station/AwekasLog.txt";
constexpr std::uint32_t kServiceAddress = 0x0500000A;
constexpr std::uint32_t kProxyAddress = 0x0600000A;

std::string Entry(const std::string& text, const std::string& stamp = "Sun 03.03.24 ; 14:05:09") {
    return kFrame + "\r\n" + stamp + "\r\n" + text + "\r\n" + kFrame + "\r\n\r\n\r\n";
}

// Field `n` (from 1) of a record.
std::string Field(const std::string& record, int n) {
    std::size_t start = 0;
    for (int i = 1; i < n; ++i) start = record.find(';', start) + 1;
    return record.substr(start, record.find(';', start) - start);
}

std::size_t Index(AwekasSensor which) { return static_cast<std::size_t>(which); }

AwekasRecordInput Input() {
    AwekasRecordInput input;
    input.user = "wetterfrosch";
    input.hash = kGeheimHash;
    input.time = Utc(2024, 3, 3, 14, 5, 9);
    input.softwareFlag = "KAVO_3.36";
    return input;
}

class AwekasRecordTest : public ::testing::Test {
protected:
    void SetUp() override { UseUtcZone(); }
};

TEST_F(AwekasRecordTest, FullRecordHas23FieldsInTheServicesOrder) {
    AwekasStation station(kIdentifiers, Utc(2024, 3, 3, 14, 5, 9));
    const float values[] = {12.46f, 55.9f, 1013.25f, 0.3f, 3.456f, 271.8f, -99999.0f,
                            455.5f, 2.04f, 12000.0f, 7.5f, 4.1f,   0.0f};
    for (std::size_t i = 0; i < kIdentifiers.size(); ++i) {
        station.Current(i).m_value = values[i];
        station.Current(i).m_rawValue = 1.0f;  // the shown value is sent, not the stored one
    }
    station.Current(7).m_statistics.ActivitySeconds = 9000;

    const std::optional<CAwekas> upload = CAwekas::Prepare(AssignedSettings(), station);
    ASSERT_TRUE(upload);
    // Light intensity and the sunny-hours assignment are not sent; the sunshine
    // comes from the solar sensor's activity.
    EXPECT_EQ(upload->Record(),
              "wetterfrosch;e8636ea013e682faf61f56ce1cb1ab5c;03.03.2024;14:05;12.46;55;1013.25;"
              "0.30;3.46;271;;;;de;;-99999.00;455.50;2.04;;2.50;4.10;0.00;KAVO_3.36;");
    EXPECT_EQ(upload->Request().Url, kUrlStart + upload->Record());
}

TEST_F(AwekasRecordTest, DecimalFieldsRoundAndWholeFieldsTruncateTowardsZero) {
    struct Row {
        float value;
        const char* decimal;
        const char* whole;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const Row& row :
         {Row{271.8f, "271.80", "271"}, Row{55.9f, "55.90", "55"}, Row{-0.9f, "-0.90", "0"},
          Row{-5.5f, "-5.50", "-5"}, Row{-0.001f, "-0.00", "0"},
          Row{-99999.0f, "-99999.00", "-99999"}, Row{-999999.0f, "-999999.00", "-999999"},
          Row{1e20f, "100000002004087734272.00", "2147483647"},
          Row{-1e20f, "-100000002004087734272.00", "-2147483648"}, Row{nan, "nan", "-99999"}}) {
        AwekasRecordInput input = Input();
        input.values[Index(AwekasSensor::kTemperature)] = row.value;
        input.values[Index(AwekasSensor::kHumidity)] = row.value;
        input.values[Index(AwekasSensor::kWindDirection)] = row.value;
        const std::string record = CAwekas::BuildRecord(input);
        EXPECT_EQ(Field(record, 5), row.decimal) << row.value;
        EXPECT_EQ(Field(record, 6), row.whole) << row.value;
        EXPECT_EQ(Field(record, 10), row.whole) << row.value;
    }
}

TEST_F(AwekasRecordTest, EmptyInputLeavesOnlyTheFixedFields) {
    AwekasRecordInput input;
    input.time = Utc(2024, 1, 9, 7, 3, 0);
    EXPECT_EQ(CAwekas::BuildRecord(input), ";;09.01.2024;07:03;;;;;;;;;;de;;;;;;;;;;");
}

TEST_F(AwekasRecordTest, AssignmentsWithoutAMatchingCurrentValueGiveEmptyFields) {
    AwekasStation station({"TE", "te", "FE", "FE"}, Utc(2024, 3, 3, 14, 5, 9));
    station.Current(0).m_value = 1.0f;
    station.Current(1).m_value = 2.0f;
    station.Current(2).m_value = 30.0f;
    station.Current(3).m_value = 40.0f;
    AwekasSettings settings = AssignedSettings();
    settings.Sensor(AwekasSensor::kAirPressure) = "Te";  // the case must match
    settings.Sensor(AwekasSensor::kPrecipitation) = "";  // not assigned
    settings.Sensor(AwekasSensor::kWindSpeed) = "te";

    const std::string record = CAwekas::Prepare(settings, station)->Record();
    EXPECT_EQ(Field(record, 5), "1.00");
    EXPECT_EQ(Field(record, 6), "30") << "the first of two equal identifiers";
    EXPECT_EQ(Field(record, 7), "");
    EXPECT_EQ(Field(record, 8), "");
    EXPECT_EQ(Field(record, 9), "2.00");
    for (const int n : {10, 16, 17, 18, 20, 21, 22}) EXPECT_EQ(Field(record, n), "") << n;
    EXPECT_EQ(Field(record, 23), "KAVO_3.36");
}

TEST_F(AwekasRecordTest, RecordTimeIsTheLastReceivedRecordInLocalTime) {
    AwekasStation station(kIdentifiers, Utc(2023, 12, 31, 23, 59, 59));
    const std::string record = CAwekas::Prepare(AssignedSettings(), station)->Record();
    EXPECT_EQ(Field(record, 3), "31.12.2023");
    EXPECT_EQ(Field(record, 4), "23:59");
}

TEST_F(AwekasRecordTest, SunshineHoursComeFromTheViewHookOrTheSolarSensorsActivity) {
    struct Row {
        const char* name;
        std::string solarAssignment;
        bool withHook;
        std::optional<std::int32_t> hookAnswer;
        std::int32_t currentActivity;
        const char* field;
        std::optional<std::string> log;
    };
    const Row rows[] = {
        {"HookWins", "SO", true, 7200, 9000, "2.00",
         "Sonnenstunden 2.000000 berechnet Aktivitaet Sekunden 7200"},
        {"MomentaryViewUsesCurrentValue", "SO", true, std::nullopt, 9000, "2.50",
         "Sonnenstunden 2.500000 berechnet Aktivitaet Sekunden 9000"},
        {"NoHookUsesCurrentValue", "SO", false, 0, 5399, "1.50",
         "Sonnenstunden 1.499722 berechnet Aktivitaet Sekunden 5399"},
        {"OneSecond", "SO", false, 0, 1, "0.00",
         "Sonnenstunden 0.000278 berechnet Aktivitaet Sekunden 1"},
        {"HookForSensorWithoutCurrentValue", "XX", true, 3600, 9000, "1.00",
         "Sonnenstunden 1.000000 berechnet Aktivitaet Sekunden 3600"},
        {"NothingAnywhere", "XX", true, std::nullopt, 9000, "", std::nullopt},
        {"NotAssigned", "", true, 3600, 9000, "", std::nullopt},
    };
    for (const Row& row : rows) {
        AwekasStation station(kIdentifiers, Utc(2024, 3, 3, 14, 5, 9));
        station.Current(7).m_statistics.ActivitySeconds = row.currentActivity;
        AwekasSettings settings = AssignedSettings();
        settings.Sensor(AwekasSensor::kSolarRadiation) = row.solarAssignment;
        std::vector<std::string> asked;
        CAwekas::SunshineSource hook;
        if (row.withHook)
            hook = [&](const std::string& identifier) {
                asked.push_back(identifier);
                return row.hookAnswer;
            };

        const AwekasRecordInput input = CAwekas::LookUp(settings, station, hook);
        EXPECT_EQ(Field(CAwekas::BuildRecord(input), 20), row.field) << row.name;
        const std::optional<std::string> log =
            input.sunshineSeconds ? std::optional(CAwekas::SunshineLogText(*input.sunshineSeconds))
                                  : std::nullopt;
        EXPECT_EQ(log, row.log) << row.name;
        if (row.withHook && !row.solarAssignment.empty())
            EXPECT_EQ(asked, std::vector<std::string>{row.solarAssignment}) << row.name;
        else
            EXPECT_TRUE(asked.empty()) << row.name;
    }
}

TEST_F(AwekasRecordTest, UrlNamesTheScriptTwiceAndKeepsTheRecordUnencoded) {
    EXPECT_EQ(CAwekas::BuildUrl("a;1.00;&x=%41;\xE4;"), kUrlStart + "a;1.00;&x=%41;\xE4;");
}

TEST_F(AwekasRecordTest, BytesThatWouldBreakTheRequestLineAreEscaped) {
    AwekasRecordInput input = Input();
    input.user = "Max Muster\t&Co";
    input.hash = "Error creating hash";  // a failed hash travels in its place
    const std::string record = CAwekas::BuildRecord(input);
    EXPECT_EQ(Field(record, 1), "Max Muster\t&Co");
    EXPECT_EQ(Field(record, 2), "Error creating hash");
    EXPECT_EQ(CAwekas::BuildUrl(record),
              kUrlStart +
                  "Max%20Muster%09&Co;Error%20creating%20hash;03.03.2024;14:05;;;;;;;;;;de;;;;;;;;;"
                  "KAVO_3.36;");
    EXPECT_EQ(CAwekas::BuildUrl("a\r\nHost: x\x7F"), kUrlStart + "a%0D%0AHost:%20x%7F");
}

TEST_F(AwekasRecordTest, RequestIsAGetOnPort80WithTheProxyOnlyWhenSwitchedOn) {
    AwekasStation station(kIdentifiers);
    AwekasSettings settings = AssignedSettings();
    settings.proxyAddress = "proxy.lan";
    settings.proxyPort = 3128;
    settings.proxyUser = "pu";
    settings.proxyPassword = "pp";

    HttpRequest request = CAwekas::Prepare(settings, station)->Request();
    EXPECT_EQ(request.IsGet, 1);
    EXPECT_EQ(request.Port, 80);
    EXPECT_EQ(request.UseProxy, 0);
    EXPECT_EQ(request.UserAgent, "");

    settings.proxyOn = true;
    request = CAwekas::Prepare(settings, station)->Request();
    EXPECT_EQ(request.UseProxy, 1);
    EXPECT_EQ(request.Proxy.Host, "proxy.lan");
    EXPECT_EQ(request.Proxy.Port, 3128);
    EXPECT_EQ(request.Proxy.User, "pu");
    EXPECT_EQ(request.Proxy.Password, "pp");

    // A port beyond int must not wrap into a valid one.
    settings.proxyPort = 4294967295u;
    EXPECT_EQ(CAwekas::Prepare(settings, station)->Request().Proxy.Port, -1);
}

// ---- sending and logging --------------------------------------------------------

// Hands the client a socket the test keeps, so that what was sent can be read afterwards.
class BorrowedSocket final : public TcpSocket {
public:
    explicit BorrowedSocket(TcpSocket& socket) : m_socket(socket) {}
    int Create() override { return m_socket.Create(); }
    std::optional<std::uint32_t> Resolve(const std::string& host) override {
        return m_socket.Resolve(host);
    }
    int Connect(std::uint32_t address, std::uint16_t port) override {
        return m_socket.Connect(address, port);
    }
    Wait WaitReadable(unsigned ms) override { return m_socket.WaitReadable(ms); }
    long Receive(char* buffer, std::size_t count) override {
        return m_socket.Receive(buffer, count);
    }
    long Send(std::string_view bytes) override { return m_socket.Send(bytes); }
    void Close() override { m_socket.Close(); }
    bool IsOpen() const override { return m_socket.IsOpen(); }

private:
    TcpSocket& m_socket;
};

class AwekasUploadTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseUtcZone();
        OutputList::Process().Clear();
        station.Current(0).m_value = 12.5f;
        station.Current(7).m_statistics.ActivitySeconds = 9000;
    }
    void TearDown() override { OutputList::Process().Clear(); }

    CAwekas::Services Services() {
        return {[this]() -> std::unique_ptr<TcpSocket> {
                    sockets.push_back(std::make_unique<FakeTcpSocket>(&clock));
                    fake = sockets.back().get();
                    fake->addresses = {{"awekas.example.net", kServiceAddress},
                                       {"proxy.lan", kProxyAddress}};
                    fake->incoming = reply;
                    ++socketsMade;
                    return std::make_unique<BorrowedSocket>(*fake);
                },
                clock, log};
    }

    std::string LogBytes() const { return files.Read(kLogPath); }

    AwekasStation station{kIdentifiers, Utc(2024, 3, 3, 14, 5, 9)};
    AwekasSettings settings = AssignedSettings();
    ManualClock clock{Utc(2024, 3, 3, 14, 5, 9)};
    ManualEventQueue events;
    ScriptedUi ui;
    FakeFileStore files;
    AwekasLog log{files, kLogPath, clock, events, ui, "wetter"};
    std::string reply = "HTTP/1.1 200 OK\r\n\r\nOK";
    std::vector<std::unique_ptr<FakeTcpSocket>> sockets;
    FakeTcpSocket* fake = nullptr;
    int socketsMade = 0;
};

TEST_F(AwekasUploadTest, SwitchedOffSendsNothingAndLogsNothing) {
    settings.active = false;
    EXPECT_FALSE(CAwekas::Prepare(settings, station));
    EXPECT_EQ(CAwekas::Upload(settings, station, Services()), std::nullopt);
    EXPECT_EQ(socketsMade, 0);
    EXPECT_TRUE(files.appends.empty());
    EXPECT_EQ(OutputList::Process().Count(), 0u);
}

TEST_F(AwekasUploadTest, DirectRequestIsSentAndRequestAndReplyAreLogged) {
    const std::optional<CAwekas> upload = CAwekas::Prepare(settings, station);
    ASSERT_TRUE(upload);
    const std::string url = kUrlStart + upload->Record();

    EXPECT_EQ(upload->Send(Services()), reply);

    ASSERT_NE(fake, nullptr);
    EXPECT_EQ(fake->resolved, std::vector<std::string>{"awekas.example.net"});
    EXPECT_EQ(fake->connected, (std::vector<FakeTcpSocket::Endpoint>{{kServiceAddress, 80}}));
    EXPECT_EQ(fake->sent,
              "GET /eingabe_pruefung.php/eingabe_pruefung.php?val=" + upload->Record() +
                  " HTTP/1.1\r\nHost: awekas.example.net\r\nUser-Agent: \r\nAccept: */*\r\n"
                  "Accept-Language: en-us,en;q=0.5\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(LogBytes(), Entry("Sonnenstunden 2.500000 berechnet Aktivitaet Sekunden 9000") +
                              Entry(url) + Entry(reply));
    const std::vector<tagOutpElm> lines = OutputList::Process().Snapshot();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], (tagOutpElm{url, 0xFF0000}));
    // Shown without the blank line that ends the request.
    EXPECT_EQ(lines[1], (tagOutpElm{fake->sent.substr(0, fake->sent.size() - 4), 0xFF0000}));
}

TEST_F(AwekasUploadTest, FailedRequestLogsTheUrlAndAnEmptyReply) {
    struct Row {
        const char* name;
        std::function<void(FakeTcpSocket&)> fault;
        const char* replyStamp;
    };
    // The silent server is waited for 5 s.
    const Row rows[] = {
        {"UnknownHost", [](FakeTcpSocket& s) { s.addresses.clear(); }, "Sun 03.03.24 ; 14:05:09"},
        {"Refused", [](FakeTcpSocket& s) { s.connectError = ECONNREFUSED; },
         "Sun 03.03.24 ; 14:05:09"},
        {"Silent", [](FakeTcpSocket& s) { s.incoming.clear(); }, "Sun 03.03.24 ; 14:05:14"},
    };
    for (const Row& row : rows) {
        files.files.clear();
        const std::optional<CAwekas> upload = CAwekas::Prepare(settings, station);
        CAwekas::Services services = Services();
        CAwekas::SocketFactory make = services.sockets;
        services.sockets = [&] {
            auto socket = make();
            row.fault(*fake);
            return socket;
        };
        EXPECT_EQ(upload->Send(services), "") << row.name;
        EXPECT_EQ(LogBytes(), Entry("Sonnenstunden 2.500000 berechnet Aktivitaet Sekunden 9000") +
                                  Entry(upload->Request().Url) + Entry("", row.replyStamp))
            << row.name;
    }
}

TEST_F(AwekasUploadTest, ProxyCredentialsAreSentButNeverShownOrLogged) {
    settings.proxyOn = true;
    settings.proxyAddress = "proxy.lan";
    settings.proxyPort = 3128;
    settings.proxyUser = "pu";
    settings.proxyPassword = "pp-secret";
    const std::string credentials = "cHU6cHAtc2VjcmV0";  // Base64 of "pu:pp-secret"

    const std::optional<std::string> answer = CAwekas::Upload(settings, station, Services());
    EXPECT_EQ(answer, reply);

    EXPECT_EQ(fake->connected, (std::vector<FakeTcpSocket::Endpoint>{{kProxyAddress, 3128}}));
    EXPECT_THAT(fake->sent,
                ::testing::StartsWith("GET " + kUrlStart.substr(0, kUrlStart.size() - 5) +
                                      "?val=wetterfrosch;" + kGeheimHash + ";"));
    EXPECT_THAT(fake->sent, HasSubstr(" HTTP/1.1\r\nAuthorization: Basic " + credentials +
                                      "\r\nProxy:\"http://proxy.lan:3128\"\r\n"
                                      "Host: awekas.example.net\r\n"));

    std::string shown = OutputList::Process().ClipboardText();
    EXPECT_THAT(shown, HasSubstr("Authorization: Basic ****\r\n"));
    for (const std::string& where : {shown, LogBytes()}) {
        EXPECT_THAT(where, Not(HasSubstr("pp-secret")));
        EXPECT_THAT(where, Not(HasSubstr(credentials)));
        EXPECT_THAT(where, Not(HasSubstr("geheim;")));
    }
}

TEST_F(AwekasUploadTest, PreparedUploadIsSentOnAnotherThreadAfterTheStationIsGone) {
    auto doomed = std::make_unique<AwekasStation>(kIdentifiers, Utc(2024, 3, 3, 14, 5, 9));
    doomed->Current(0).m_value = 21.25f;
    std::optional<CAwekas> upload = CAwekas::Prepare(settings, *doomed);
    ASSERT_TRUE(upload);
    doomed.reset();

    std::string answer;
    CAwekas::Services services = Services();
    std::thread worker([&, job = *upload] { answer = job.Send(services); });
    worker.join();

    EXPECT_EQ(answer, reply);
    EXPECT_THAT(fake->sent, HasSubstr("?val=wetterfrosch;" + std::string(kGeheimHash) +
                                      ";03.03.2024;14:05;21.25;"));
    EXPECT_THAT(LogBytes(), HasSubstr(Entry(reply)));
}

}  // namespace
