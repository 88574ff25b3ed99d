// The AWEKAS upload over real sockets against a server on 127.0.0.1.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AwekasStation.h"
#include "LocalHttpServer.h"
#include "ManualEventQueue.h"
#include "ScriptedUi.h"
#include "TempFolder.h"
#include "UtcTime.h"
#include "model/OutputList.h"
#include "platform/IniProfile.h"
#include "platform/PosixFileStore.h"
#include "platform/PosixTcpSocket.h"
#include "platform/SystemClock.h"
#include "publish/AwekasLog.h"
#include "publish/CAwekas.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr std::uint32_t kLoopback = 0x0100007F;  // 127.0.0.1 in network byte order
// The record of a station with only temperature and humidity.
const std::string kRecord =
    "wetterfrosch;e8636ea013e682faf61f56ce1cb1ab5c;03.03.2024;14:05;7.25;81;;;;;;;;de;;;;;;;;;"
    "KAVO_3.36;";
const std::string kTail =
    "User-Agent: \r\nAccept: */*\r\nAccept-Language: en-us,en;q=0.5\r\nConnection: close\r\n\r\n";

// The service's name leads to the local server: every name is 127.0.0.1 and
// port 80 becomes the server's port. Remembers what it was asked for.
class RedirectedSocket final : public TcpSocket {
public:
    RedirectedSocket(std::uint16_t port, std::vector<std::string>& names,
                     std::vector<std::uint16_t>& ports)
        : m_port(port), m_names(names), m_ports(ports) {}
    int Create() override { return m_socket.Create(); }
    std::optional<std::uint32_t> Resolve(const std::string& host) override {
        m_names.push_back(host);
        return kLoopback;
    }
    int Connect(std::uint32_t address, std::uint16_t port) override {
        m_ports.push_back(port);
        return m_socket.Connect(address, port == 80 ? m_port : port);
    }
    Wait WaitReadable(unsigned ms) override { return m_socket.WaitReadable(ms); }
    long Receive(char* buffer, std::size_t count) override {
        return m_socket.Receive(buffer, count);
    }
    long Send(std::string_view bytes) override { return m_socket.Send(bytes); }
    void Close() override { m_socket.Close(); }
    bool IsOpen() const override { return m_socket.IsOpen(); }

private:
    PosixTcpSocket m_socket;
    std::uint16_t m_port;
    std::vector<std::string>& m_names;
    std::vector<std::uint16_t>& m_ports;
};

class AwekasNetworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseUtcZone();
        OutputList::Process().Clear();
        station.Current(0).m_value = 7.25f;
        station.Current(1).m_value = 81.0f;
    }
    void TearDown() override { OutputList::Process().Clear(); }

    CAwekas::Services Redirected() {
        return {[this] { return std::make_unique<RedirectedSocket>(server.Port(), names, ports); },
                clock, log};
    }

    LocalHttpServer server;
    SystemClock clock;
    TempFolder folder;
    PosixFileStore files;
    ManualEventQueue events;
    ScriptedUi ui;
    AwekasLog log{files, folder.File("AwekasLog.txt"), clock, events, ui, "wetter"};
    AwekasStation station{{"TE", "FE"}, Utc(2024, 3, 3, 14, 5, 9)};
    std::vector<std::string> names;
    std::vector<std::uint16_t> ports;
};

TEST_F(AwekasNetworkTest, DirectRequestReachesTheServiceHostOnPort80) {
    server.AnswerWith(200, "OK");
    const std::optional<CAwekas> upload = CAwekas::Prepare(AssignedSettings(), station);
    ASSERT_TRUE(upload);

    const std::string reply = upload->Send(Redirected());

    ASSERT_TRUE(server.WaitForRequests(1, 2000));
    EXPECT_EQ(server.Requests()[0],
              "GET /eingabe_pruefung.php/eingabe_pruefung.php?val=" + kRecord +
                  " HTTP/1.1\r\nHost: awekas.example.net\r\n" + kTail);
    EXPECT_EQ(names, std::vector<std::string>{"awekas.example.net"});
    EXPECT_EQ(ports, std::vector<std::uint16_t>{80});
    EXPECT_THAT(reply, StartsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_THAT(folder.Read("AwekasLog.txt"), HasSubstr("\r\n" + reply + "\r\n"));
}

TEST_F(AwekasNetworkTest, ThroughTheProxyTheAbsoluteUrlArrivesAtTheProxy) {
    server.AnswerWith(200, "OK");
    AwekasSettings settings = AssignedSettings();
    settings.proxyOn = true;
    settings.proxyAddress = "127.0.0.1";
    settings.proxyPort = server.Port();

    const std::optional<std::string> reply =
        CAwekas::Upload(settings, station, CAwekas::Services{{}, clock, log});

    ASSERT_TRUE(server.WaitForRequests(1, 2000));
    EXPECT_EQ(
        server.Requests()[0],
        "GET http://awekas.example.net/eingabe_pruefung.php/eingabe_pruefung.php?val=" + kRecord +
            " HTTP/1.1\r\nProxy:\"http://127.0.0.1:" + std::to_string(server.Port()) +
            "\"\r\nHost: awekas.example.net\r\n" + kTail);
    ASSERT_TRUE(reply);
    EXPECT_THAT(*reply, ::testing::EndsWith("\r\n\r\nOK"));
}

TEST_F(AwekasNetworkTest, CheckConnectionUsesTheSavedSettings) {
    server.AnswerWith(200, "Daten empfangen");
    IniProfile profile;
    const std::string file = folder.File("awekas.ini");
    AwekasSettings saved = AssignedSettings();
    saved.active = false;
    ASSERT_TRUE(SaveAwekasSettings(profile, file, saved));

    EXPECT_EQ(CAwekas::CheckConnection(profile, file, station, Redirected()), std::nullopt);
    EXPECT_TRUE(ports.empty());
    EXPECT_EQ(folder.Read("AwekasLog.txt"), "<missing>");

    saved.active = true;
    ASSERT_TRUE(SaveAwekasSettings(profile, file, saved));
    const std::optional<std::string> reply =
        CAwekas::CheckConnection(profile, file, station, Redirected());
    ASSERT_TRUE(reply);
    EXPECT_THAT(*reply, ::testing::EndsWith("\r\n\r\nDaten empfangen"));
    ASSERT_TRUE(server.WaitForRequests(1, 2000));
    EXPECT_THAT(server.Requests()[0], HasSubstr("?val=" + kRecord + " HTTP/1.1\r\n"));
}

}  // namespace
