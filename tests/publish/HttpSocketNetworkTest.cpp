// The HTTP client over real sockets against a server on 127.0.0.1.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "LocalHttpServer.h"
#include "ManualClock.h"
#include "model/OutputList.h"
#include "platform/PosixTcpSocket.h"
#include "platform/SystemClock.h"
#include "publish/HttpSocket.h"

namespace {

class HttpSocketNetworkTest : public ::testing::Test {
protected:
    void TearDown() override { OutputList::Process().Clear(); }

    // A reply must be awaited in real time; only a silent server can run on the manual clock.
    std::unique_ptr<HttpSocket> Client(Clock& clock) {
        return std::make_unique<HttpSocket>(std::make_unique<PosixTcpSocket>(), clock);
    }

    HttpRequest Get(const std::string& url) {
        HttpRequest request;
        request.Url = url;
        request.IsGet = 1;
        request.UserAgent = "wetter-test";
        return request;
    }

    LocalHttpServer server;
    SystemClock systemClock;
};

TEST_F(HttpSocketNetworkTest, DirectRequestArrivesAsBuiltAndTheReplyIsRead) {
    server.AnswerWith(200, "Daten empfangen");
    auto client = Client(systemClock);
    ASSERT_EQ(client->SendRequest(Get(server.Url("/api/upload.php?val=1;2;3"))), 0)
        << client->ErrorText();

    ASSERT_TRUE(server.WaitForRequests(1, 2000));
    EXPECT_EQ(server.Requests()[0], client->RequestText());
    EXPECT_THAT(server.Requests()[0],
                ::testing::StartsWith("GET /api/upload.php?val=1;2;3 HTTP/1.1\r\n"
                                      "Host: 127.0.0.1\r\nUser-Agent: wetter-test\r\n"));
    EXPECT_THAT(client->GetReply(), ::testing::StartsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_THAT(client->GetReply(), ::testing::EndsWith("\r\n\r\nDaten empfangen"));
    std::string length;
    EXPECT_EQ(client->GetHeader("Content-Length", length), 0);
    EXPECT_EQ(length, "15");
}

TEST_F(HttpSocketNetworkTest, NotFoundIsAReplyNotAnError) {
    server.AnswerWith(404, "missing");
    auto client = Client(systemClock);
    EXPECT_EQ(client->SendRequest(Get(server.Url("/gone"))), 0);
    EXPECT_THAT(client->GetReply(), ::testing::StartsWith("HTTP/1.1 404 Not Found\r\n"));
}

TEST_F(HttpSocketNetworkTest, ThroughTheProxyTheProxyIsDialledWithTheAbsoluteUrl) {
    server.AnswerWith(200, "ok");
    HttpRequest request = Get("http://weather.invalid:8080/upload?x=1");
    request.UseProxy = 1;
    request.Proxy = {"127.0.0.1", "secret", "user", server.Port()};
    auto client = Client(systemClock);
    ASSERT_EQ(client->SendRequest(request), 0) << client->ErrorText();

    ASSERT_TRUE(server.WaitForRequests(1, 2000));
    EXPECT_EQ(server.Requests()[0],
              "GET http://weather.invalid/upload?x=1 HTTP/1.1\r\n"
              "Authorization: Basic dXNlcjpzZWNyZXQ=\r\n"
              "Proxy:\"http://127.0.0.1:" +
                  std::to_string(server.Port()) +
                  "\"\r\n"
                  "Host: weather.invalid\r\nUser-Agent: wetter-test\r\nAccept: */*\r\n"
                  "Accept-Language: en-us,en;q=0.5\r\nConnection: close\r\n\r\n");
    EXPECT_THAT(client->GetReply(), ::testing::EndsWith("ok"));
}

TEST_F(HttpSocketNetworkTest, ASilentServerIsWaitedForFiveSecondsOnTheClock) {
    server.NeverAnswer();
    ManualClock clock;
    const std::uint64_t before = clock.TickMs();
    auto client = Client(clock);
    EXPECT_EQ(client->SendRequest(Get(server.Url("/x"))), 0);
    EXPECT_EQ(client->GetReply(), "");
    EXPECT_EQ(clock.TickMs() - before, HttpSocket::kReplyWaitMs);
    EXPECT_TRUE(server.WaitForRequests(1, 2000));
}

TEST_F(HttpSocketNetworkTest, AServerThatClosesAtOnceLeavesNoReply) {
    server.CloseAtOnce();
    auto client = Client(systemClock);
    // Whether the kernel still took the bytes depends on when the close lands.
    EXPECT_THAT(client->SendRequest(Get(server.Url("/x"))),
                ::testing::AnyOf(0, HttpSocket::kNothingSent));
    EXPECT_EQ(client->GetReply(), "");
}

TEST_F(HttpSocketNetworkTest, RefusedConnectionsNameServerOrProxy) {
    const std::uint16_t closed = LocalHttpServer::ClosedPort();
    ManualClock clock;

    auto direct = Client(clock);
    EXPECT_EQ(direct->SendRequest(Get("http://127.0.0.1:" + std::to_string(closed) + "/x")),
              HttpSocket::kServerRefused);
    EXPECT_EQ(direct->ErrorText(),
              "Connection refused to HTTP Server 127.0.0.1 on port " + std::to_string(closed));

    HttpRequest request = Get("http://weather.invalid/x");
    request.UseProxy = 1;
    request.Proxy.Host = "127.0.0.1";
    request.Proxy.Port = closed;
    auto proxied = Client(clock);
    EXPECT_EQ(proxied->SendRequest(request), HttpSocket::kProxyRefused);
    EXPECT_EQ(proxied->ErrorText(),
              "Connection refused to HTTP Proxy 127.0.0.1 on port " + std::to_string(closed));
}

TEST_F(HttpSocketNetworkTest, AnUnknownHostIsCode1) {
    ManualClock clock;
    auto client = Client(clock);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(client->SendRequest(Get("http://no-such-station.invalid/x")),
              HttpSocket::kHostNotFound);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Failed to resolve no-such-station.invalid\n");
    EXPECT_EQ(client->ErrorText(), "Host no-such-station.invalid could not be found");
}

}  // namespace
