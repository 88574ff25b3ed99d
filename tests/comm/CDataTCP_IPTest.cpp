#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FakeTcpSocket.h"
#include "ManualClock.h"
#include "ManualEventQueue.h"
#include "ScriptedUi.h"
#include "comm/CDataTCP_IP.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/AutoResetEvent.h"
#include "platform/PosixTcpSocket.h"

namespace {

// A station on 127.0.0.1 that takes one connection at a time.
class LocalStation {
public:
    LocalStation() {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(m_listener, 4);
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
    }
    ~LocalStation() {
        HangUp();
        StopListening();
    }

    int Port() const { return m_port; }
    // Takes the waiting connection (at most 3 s); false when none came.
    bool Accept() {
        pollfd p{m_listener, POLLIN, 0};
        if (::poll(&p, 1, 3000) != 1) return false;
        m_peer = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        return m_peer >= 0;
    }
    void Send(const std::string& bytes) {
        ::send(m_peer, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
    // What arrived within a second, up to `expected` bytes; "<closed>" when the client closed.
    std::string Receive(std::size_t expected) {
        std::string got;
        while (got.size() < expected) {
            pollfd p{m_peer, POLLIN, 0};
            if (::poll(&p, 1, 1000) != 1) break;
            char buffer[256];
            const ssize_t n = ::recv(m_peer, buffer, sizeof buffer, 0);
            if (n <= 0) return got + "<closed>";
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }
    void HangUp() {
        if (m_peer >= 0) ::close(m_peer);
        m_peer = -1;
    }
    // Nobody takes connections on the port any more.
    void StopListening() {
        if (m_listener >= 0) ::close(m_listener);
        m_listener = -1;
    }

private:
    int m_listener = -1;
    int m_peer = -1;
    int m_port = 0;
};

class CDataTCP_IPTest : public ::testing::Test {
protected:
    void SetUp() override { OutputList::Process().Clear(); }

    // Opens on another thread while the station accepts and sends `greeting` ("" for none).
    bool OpenWithStation(CDataTCP_IP& transport, const std::string& greeting) {
        auto opened = std::async(std::launch::async, [&transport] { return transport.Open(); });
        if (station.Accept() && !greeting.empty()) station.Send(greeting);
        return opened.get();
    }
    std::unique_ptr<CDataTCP_IP> WithFake(std::string host = "192.168.1.1", int port = 8023) {
        auto socket = std::make_unique<FakeTcpSocket>(&clock);
        fake = socket.get();
        fake->addresses["192.168.1.1"] = htonl(0xC0A80101);
        return std::make_unique<CDataTCP_IP>(std::move(host), port, services, std::move(socket));
    }
    std::vector<tagOutpElm> Output() const { return OutputList::Process().Snapshot(); }

    ManualClock clock;
    ManualEventQueue events;
    ScriptedUi ui;
    AutoResetEvent abort;
    TransportServices services{clock, events, ui, abort};
    LocalStation station;
    FakeTcpSocket* fake = nullptr;
};

TEST_F(CDataTCP_IPTest, OpensWhenTheStationSpeaksAndCarriesBytesBothWays) {
    CDataTCP_IP transport("127.0.0.1", station.Port(), services);
    EXPECT_EQ(transport.GetDescription(),
              " IP-Addr. = 127.0.0.1  Port = " + std::to_string(station.Port()));
    ASSERT_TRUE(OpenWithStation(transport, "x"));
    EXPECT_TRUE(transport.IsOpen());

    char byte = 0;
    EXPECT_EQ(transport.Read(&byte, 1), CDataBase::ReadResult::Received);
    EXPECT_EQ(byte, 'x');
    EXPECT_EQ(transport.Write("?X\r\n"), 4);
    EXPECT_EQ(station.Receive(4), "?X\r\n");
    EXPECT_EQ(Output(), (std::vector<tagOutpElm>{{"Open TCP/IP connection", kColourAction},
                                                 {"?X", kColourCommand}}));

    EXPECT_EQ(transport.Close(), 1);
    EXPECT_FALSE(transport.IsOpen());
    EXPECT_EQ(station.Receive(1), "<closed>");
}

TEST_F(CDataTCP_IPTest, AQuietStationFailsTheOpenButKeepsTheConnection) {
    CDataTCP_IP transport("127.0.0.1", station.Port(), services);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(OpenWithStation(transport, ""));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1900));
    EXPECT_TRUE(transport.IsOpen());
    EXPECT_TRUE(ui.shown.empty());

    transport.Close();
    EXPECT_FALSE(transport.IsOpen());
    EXPECT_EQ(station.Receive(1), "<closed>") << "Close releases the connection";
}

TEST_F(CDataTCP_IPTest, AClosedConnectionIsLostAfterTheWaitOfSilence) {
    CDataTCP_IP transport("127.0.0.1", station.Port(), services);
    ASSERT_TRUE(OpenWithStation(transport, "x"));
    station.HangUp();

    char byte = 0;
    EXPECT_EQ(transport.Read(&byte, 1), CDataBase::ReadResult::Received)
        << "what came before the close is still read";
    const std::uint64_t before = clock.TickMs();
    EXPECT_EQ(transport.Read(&byte, 1), CDataBase::ReadResult::Lost);
    EXPECT_EQ(transport.Read(&byte, 1), CDataBase::ReadResult::Lost);
    EXPECT_EQ(clock.TickMs() - before, 4000u) << "each read costs the 2 s wait";
}

TEST_F(CDataTCP_IPTest, ARefusedConnectionFailsWithoutAMessage) {
    const int port = station.Port();
    station.StopListening();
    CDataTCP_IP transport("127.0.0.1", port, services);
    EXPECT_FALSE(transport.Open());
    EXPECT_FALSE(transport.IsOpen());
    EXPECT_EQ(events.Waiting(), 0u);
    EXPECT_EQ(Output(), (std::vector<tagOutpElm>{{"Open TCP/IP connection", kColourAction}}));
}

TEST_F(CDataTCP_IPTest, WithoutSocketWriteFailsButIsLogged) {
    CDataTCP_IP transport("127.0.0.1", station.Port(), services);
    EXPECT_EQ(transport.Write("?X\r\n"), -1);
    EXPECT_EQ(Output(), (std::vector<tagOutpElm>{{"?X", kColourCommand}}));
    char byte = 0;
    EXPECT_EQ(transport.Read(&byte, 1), CDataBase::ReadResult::Lost);
    EXPECT_EQ(transport.Close(), 1);
}

// ---- the host text ---------------------------------------------------------

struct HostRow {
    const char* name;
    const char* host;
    bool nameKnown;  // the name lookup answers 127.0.0.1
    bool lookedUp;   // the name lookup is asked
    bool opens;
};

const HostRow kHostRows[] = {
    {"DottedAddressIsNeverLookedUp", "127.0.0.1", false, false, true},
    {"NameIsLookedUp", "station.example", true, true, true},
    {"UnknownNameFailsQuietly", "station.example", false, true, false},
};

class CDataTCP_IPHostTest : public CDataTCP_IPTest,
                            public ::testing::WithParamInterface<HostRow> {};

TEST_P(CDataTCP_IPHostTest, ResolvesOnlyNames) {
    const HostRow& row = GetParam();
    std::vector<std::string> lookups;
    auto socket = std::make_unique<PosixTcpSocket>([&](const std::string& host) {
        lookups.push_back(host);
        return row.nameKnown ? std::optional<std::uint32_t>(htonl(INADDR_LOOPBACK)) : std::nullopt;
    });
    CDataTCP_IP transport(row.host, station.Port(), services, std::move(socket));

    if (row.opens) {
        EXPECT_TRUE(OpenWithStation(transport, "x"));
    } else {
        EXPECT_FALSE(transport.Open());
        EXPECT_FALSE(transport.IsOpen());
        EXPECT_EQ(events.Waiting(), 0u);
    }
    EXPECT_EQ(lookups.size(), row.lookedUp ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, CDataTCP_IPHostTest, ::testing::ValuesIn(kHostRows),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- faults through the socket seam ----------------------------------------

TEST_F(CDataTCP_IPTest, ASocketThatCannotBeMadeIsReported) {
    auto transport = WithFake();
    fake->createError = EMFILE;
    EXPECT_FALSE(transport->Open());
    EXPECT_TRUE(fake->resolved.empty());
    EXPECT_EQ(Output(), (std::vector<tagOutpElm>{{"Open TCP/IP connection", kColourAction},
                                                 {"Socket error", kColourError}}));
    EXPECT_EQ(events.RunPending(), 1u);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"Error creating the socket"});
}

TEST_F(CDataTCP_IPTest, OpenConnectsToTheResolvedAddressAndWaitsTwoSeconds) {
    auto transport = WithFake("192.168.1.1", 65536 + 8023);  // only the low 16 bits count
    fake->incoming = "x";
    EXPECT_TRUE(transport->Open());
    EXPECT_EQ(fake->connected, (std::vector<FakeTcpSocket::Endpoint>{{htonl(0xC0A80101), 8023}}));
    EXPECT_EQ(fake->waits, std::vector<unsigned>{2000});
}

struct SilenceRow {
    const char* name;
    void (*make)(FakeTcpSocket&);
    CDataBase::ReadResult result;
};

const SilenceRow kSilenceRows[] = {
    {"QuietConnection", [](FakeTcpSocket&) {}, CDataBase::ReadResult::TimedOut},
    {"PeerClosed", [](FakeTcpSocket& s) { s.peerClosed = true; }, CDataBase::ReadResult::Lost},
    {"WaitFails", [](FakeTcpSocket& s) { s.waitFails = true; }, CDataBase::ReadResult::Lost},
};

class CDataTCP_IPSilenceTest : public CDataTCP_IPTest,
                               public ::testing::WithParamInterface<SilenceRow> {};

TEST_P(CDataTCP_IPSilenceTest, EveryReadWithoutDataCostsTheWait) {
    auto transport = WithFake();
    fake->incoming = "x";
    ASSERT_TRUE(transport->Open());
    char byte = 0;
    ASSERT_EQ(transport->Read(&byte, 1), CDataBase::ReadResult::Received);

    GetParam().make(*fake);
    const std::uint64_t before = clock.TickMs();
    EXPECT_EQ(transport->Read(&byte, 1), GetParam().result);
    EXPECT_EQ(clock.TickMs() - before, 2000u);
}

INSTANTIATE_TEST_SUITE_P(Rows, CDataTCP_IPSilenceTest, ::testing::ValuesIn(kSilenceRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
