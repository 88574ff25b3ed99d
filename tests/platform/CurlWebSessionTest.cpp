#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <stop_token>
#include <string>
#include <thread>

#include "LocalHttpServer.h"
#include "ScopedEnvironment.h"
#include "platform/CurlWebSession.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using Outcome = WebSession::Reply::Outcome;

// Codes of the library that the tests expect (kept here so a test reads without its header).
constexpr int kCouldntResolveHost = 6;
constexpr int kCouldntConnect = 7;
constexpr int kOperationTimedOut = 28;
constexpr int kAbortedByCallback = 42;
constexpr int kGotNothing = 52;
constexpr int kRecvError = 56;

class CurlWebSessionTest : public ::testing::Test {
protected:
    void SetUp() override { environment.WithoutProxy(); }

    static CurlWebSession::Options Quick() {
        CurlWebSession::Options options;
        options.connectTimeoutMs = 1000;
        options.totalTimeoutMs = 1000;
        return options;
    }

    ScopedEnvironment environment;
    LocalHttpServer server;
};

TEST_F(CurlWebSessionTest, PostHasNoBodyAndSpeaksHttp10) {
    server.AnswerWith(200, "Daten empfangen");
    CurlWebSession session;
    const WebSession::Reply reply = session.Fetch("POST", server.Url("/db/insert.php?t=1.5"));

    EXPECT_EQ(reply.outcome, Outcome::Answered);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, "Daten empfangen");
    ASSERT_TRUE(server.WaitForRequests(1, 2000));
    const std::string request = server.Requests()[0];
    EXPECT_THAT(request, StartsWith("POST /db/insert.php?t=1.5 HTTP/1.0\r\n"));
    EXPECT_THAT(request, HasSubstr("\r\nContent-Length: 0\r\n"));
    EXPECT_THAT(request, HasSubstr("\r\nUser-Agent: wetter\r\n"));
    EXPECT_THAT(request, Not(HasSubstr("Content-Type")));
    EXPECT_THAT(request, testing::EndsWith("\r\n\r\n"));
}

TEST_F(CurlWebSessionTest, OtherVerbsAreSentAsNamed) {
    CurlWebSession session;
    for (const char* verb : {"GET", "HEAD", "PUT"}) {
        server.AnswerWith(200, "");
        EXPECT_EQ(session.Fetch(verb, server.Url("/v")).outcome, Outcome::Answered) << verb;
    }
    ASSERT_TRUE(server.WaitForRequests(3, 2000));
    EXPECT_THAT(server.Requests()[0], StartsWith("GET /v HTTP/1.0\r\n"));
    EXPECT_THAT(server.Requests()[1], StartsWith("HEAD /v HTTP/1.0\r\n"));
    EXPECT_THAT(server.Requests()[2], StartsWith("PUT /v HTTP/1.0\r\n"));
}

TEST_F(CurlWebSessionTest, AnotherStatusComesBackWithItsBody) {
    server.AnswerWith(404, "no such script");
    CurlWebSession session;
    const WebSession::Reply reply = session.Fetch("POST", server.Url("/x"));
    EXPECT_EQ(reply.outcome, Outcome::Answered);
    EXPECT_EQ(reply.status, 404);
    EXPECT_EQ(reply.body, "no such script");
}

TEST_F(CurlWebSessionTest, AnAnswerWithoutStatusLineHasNoStatus) {
    server.AnswerRaw("hello");
    CurlWebSession session;
    EXPECT_EQ(session.Fetch("POST", server.Url("/x")).outcome, Outcome::NoStatus);
}

TEST_F(CurlWebSessionTest, ALongBodyIsCutAtTheLimit) {
    server.AnswerWith(200, std::string(5000, 'x'));
    CurlWebSession::Options options;
    options.maxBodyBytes = 1000;
    CurlWebSession session(options);
    const WebSession::Reply reply = session.Fetch("POST", server.Url("/x"));
    EXPECT_EQ(reply.outcome, Outcome::Answered);
    EXPECT_EQ(reply.body, std::string(1000, 'x'));
}

TEST_F(CurlWebSessionTest, ASilentServerEndsWithTheTotalTimeOut) {
    server.NeverAnswer();
    CurlWebSession session(Quick());
    const auto start = std::chrono::steady_clock::now();
    const WebSession::Reply reply = session.Fetch("POST", server.Url("/x"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(reply.outcome, Outcome::Failed);
    EXPECT_EQ(reply.error, kOperationTimedOut);
    EXPECT_FALSE(reply.errorText.empty());
}

TEST_F(CurlWebSessionTest, AStopRequestEndsTheWaitForASilentServer) {
    server.NeverAnswer();
    std::stop_source stop;
    CurlWebSession::Options options;  // time-outs far longer than the test
    options.stop = stop.get_token();
    CurlWebSession session(options);
    std::jthread stopper([&] {
        server.WaitForRequests(1, 5000);
        stop.request_stop();
    });
    const auto start = std::chrono::steady_clock::now();
    const WebSession::Reply reply = session.Fetch("POST", server.Url("/x"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(reply.outcome, Outcome::Failed);
    EXPECT_EQ(reply.error, kAbortedByCallback);

    // Once stopped, nothing more is sent.
    EXPECT_EQ(session.Fetch("POST", server.Url("/y")).outcome, Outcome::NotSent);
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(CurlWebSessionTest, FailuresCarryTheLibrarysCodeAndText) {
    server.CloseAtOnce();
    CurlWebSession session(Quick());
    const struct {
        std::string url;
        std::vector<int> codes;
    } rows[] = {
        {server.Url("/x"), {kGotNothing, kRecvError}},
        {"http://127.0.0.1:" + std::to_string(LocalHttpServer::ClosedPort()) + "/x",
         {kCouldntConnect}},
        {"http://no-such-server.invalid/x", {kCouldntResolveHost}},
    };
    for (const auto& row : rows) {
        const WebSession::Reply reply = session.Fetch("POST", row.url);
        EXPECT_EQ(reply.outcome, Outcome::Failed) << row.url;
        EXPECT_THAT(row.codes, testing::Contains(reply.error)) << row.url;
        EXPECT_FALSE(reply.errorText.empty()) << row.url;
        EXPECT_EQ(reply.body, "") << row.url;
    }
}

TEST_F(CurlWebSessionTest, TheProxyOfTheEnvironmentIsUsed) {
    server.AnswerWith(200, "via proxy");
    environment.Set("http_proxy", server.Url(""));
    CurlWebSession session(Quick());
    const WebSession::Reply reply = session.Fetch("POST", "http://weather.invalid:8080/up.php?a=1");
    EXPECT_EQ(reply.outcome, Outcome::Answered);
    EXPECT_EQ(reply.body, "via proxy");
    ASSERT_TRUE(server.WaitForRequests(1, 2000));
    EXPECT_THAT(server.Requests()[0],
                StartsWith("POST http://weather.invalid:8080/up.php?a=1 HTTP/1.0\r\n"));
}

}  // namespace
