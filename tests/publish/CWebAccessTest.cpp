#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "LocalHttpServer.h"
#include "ScopedEnvironment.h"
#include "platform/CurlWebSession.h"
#include "publish/CWebAccess.h"

namespace {

using Outcome = WebSession::Reply::Outcome;

// Answers every fetch with one scripted reply and records what it was asked.
class ScriptedWebSession final : public WebSession {
public:
    explicit ScriptedWebSession(Reply reply, std::vector<std::string>* asked)
        : m_reply(std::move(reply)), m_asked(asked) {}
    Reply Fetch(std::string_view verb, const std::string& url) override {
        m_asked->push_back(std::string(verb) + " " + url);
        return m_reply;
    }

private:
    Reply m_reply;
    std::vector<std::string>* m_asked;
};

WebSession::Reply Answered(long status, const std::string& body) {
    WebSession::Reply reply;
    reply.outcome = Outcome::Answered;
    reply.status = status;
    reply.body = body;
    return reply;
}

// ---- which URL the session gets ---------------------------------------------

TEST(CWebAccessUrlTest, TheServersPortIsUsedAndTheObjectSentAsGiven) {
    const struct {
        const char* url;
        const char* asked;  // empty: nothing is sent and the result is -20
    } rows[] = {
        {"http://db.example/upload.php?t=1.5&h=80",
         "POST http://db.example:80/upload.php?t=1.5&h=80"},
        {"http://db.example:8080/w/in.php", "POST http://db.example:8080/w/in.php"},
        {"db.example/in.php", "POST http://db.example:80/in.php"},
        {"http://db.example", "POST http://db.example:80/"},
        {"http://db.example/a b\r\nX: y", "POST http://db.example:80/a%20b%0D%0AX:%20y"},
        {"http://db.example/a#b", "POST http://db.example:80/a%23b"},
        {"http://db.example/\xe4", "POST http://db.example:80/%E4"},
        {"http://myhttphost/x", "POST http://myhttphost:80/x"},
        {"", ""},
        {"http://", ""},
        {"http:///x", ""},
        {"http://:8080/x", ""},
        {"http://db.example:0/x", ""},
        {"http://db.example:65536/x", ""},
        {"http://user@evil.example/x", ""},
        {"https://db.example/x", ""},
    };
    for (const auto& row : rows) {
        std::vector<std::string> asked;
        CWebAccess access(std::make_unique<ScriptedWebSession>(Answered(200, "ok"), &asked));
        std::string result = "before";
        const int code = access.GetPage(row.url, result);
        if (*row.asked == '\0') {
            EXPECT_EQ(code, CWebAccess::kNotSent) << row.url;
            EXPECT_TRUE(asked.empty()) << row.url;
            EXPECT_EQ(result, "before") << row.url;
        } else {
            EXPECT_EQ(code, CWebAccess::kOk) << row.url;
            EXPECT_EQ(asked, std::vector<std::string>{row.asked}) << row.url;
        }
    }
}

TEST(CWebAccessUrlTest, SplitKeepsThePortWithTheServer) {
    const CWebAccess::Target target = CWebAccess::SplitUrl("http://db.example:8080/w/in.php?a=1");
    EXPECT_EQ(target.server, "db.example:8080");
    EXPECT_EQ(target.object, "w/in.php?a=1");
    EXPECT_EQ(CWebAccess::SplitUrl("http://db.example").object, "");
}

// ---- result codes -----------------------------------------------------------

TEST(CWebAccessResultTest, EachOutcomeHasItsCode) {
    WebSession::Reply notSent;
    WebSession::Reply noStatus;
    noStatus.outcome = Outcome::NoStatus;
    WebSession::Reply failed;
    failed.outcome = Outcome::Failed;
    failed.error = 7;
    failed.errorText = "Failed to connect to db.example port 80";
    WebSession::Reply longText = failed;
    longText.errorText = std::string(2000, 'e');

    const struct {
        const char* name;
        WebSession::Reply reply;
        int code;
        std::string result;
    } rows[] = {
        {"200 gives 1 and the body", Answered(200, "Daten OK"), 1, "Daten OK"},
        {"200 with an empty body", Answered(200, ""), 1, ""},
        {"404 leaves the result", Answered(404, "not here"), 404, "before"},
        {"500 leaves the result", Answered(500, "oops"), 500, "before"},
        {"not sent", notSent, -20, "before"},
        {"no status", noStatus, -21, "before"},
        {"library failure gives code and text", failed, 7,
         "Failed to connect to db.example port 80"},
        {"library text is cut to 1023", longText, 7, std::string(1023, 'e')},
    };
    for (const auto& row : rows) {
        std::vector<std::string> asked;
        CWebAccess access(std::make_unique<ScriptedWebSession>(row.reply, &asked));
        std::string result = "before";
        EXPECT_EQ(access.GetPage("http://db.example/in.php", result), row.code) << row.name;
        EXPECT_EQ(result, row.result) << row.name;
    }
}

TEST(CWebAccessProxyTest, TheEnvironmentsProxyIsKeptForDisplay) {
    ScopedEnvironment environment;
    environment.WithoutProxy();
    std::vector<std::string> asked;
    {
        CWebAccess access(std::make_unique<ScriptedWebSession>(Answered(200, ""), &asked));
        EXPECT_EQ(access.ProxyEnabled(), 0);
        EXPECT_EQ(access.ProxyServer(), "");
    }
    environment.Set("http_proxy", "http://proxy.lan:3128");
    environment.Set("no_proxy", "localhost,.lan");
    CWebAccess access(std::make_unique<ScriptedWebSession>(Answered(200, ""), &asked));
    EXPECT_EQ(access.ProxyEnabled(), 1);
    EXPECT_EQ(access.ProxyServer(), "http://proxy.lan:3128");
    EXPECT_EQ(access.ProxyOverride(), "localhost,.lan");
}

// ---- over libcurl against a local server ------------------------------------

class CWebAccessNetworkTest : public ::testing::Test {
protected:
    void SetUp() override { environment.WithoutProxy(); }

    CWebAccess Access() {
        CurlWebSession::Options options;
        options.connectTimeoutMs = 1000;
        options.totalTimeoutMs = 1000;
        return CWebAccess(std::make_unique<CurlWebSession>(options));
    }

    ScopedEnvironment environment;
    LocalHttpServer server;
};

TEST_F(CWebAccessNetworkTest, PageOf200IsTheBodyAndTheUrlsPortIsDialled) {
    server.AnswerWith(200, "1 Datensatz gespeichert");
    std::string result = "before";
    EXPECT_EQ(Access().GetPage(server.Url("/db/in.php?t=21.5"), result), 1);
    EXPECT_EQ(result, "1 Datensatz gespeichert");
    ASSERT_TRUE(server.WaitForRequests(1, 2000));
    EXPECT_THAT(server.Requests()[0], ::testing::StartsWith("POST /db/in.php?t=21.5 HTTP/1.0\r\n"));
}

TEST_F(CWebAccessNetworkTest, NotFoundReturns404AndLeavesTheResult) {
    server.AnswerWith(404, "no such script");
    std::string result = "before";
    EXPECT_EQ(Access().GetPage(server.Url("/gone.php"), result), 404);
    EXPECT_EQ(result, "before");
}

TEST_F(CWebAccessNetworkTest, ThroughTheEnvironmentsProxy) {
    server.AnswerWith(200, "ok");
    environment.Set("http_proxy", server.Url(""));
    std::string result;
    EXPECT_EQ(Access().GetPage("http://db.invalid/in.php?x=1", result), 1);
    EXPECT_EQ(result, "ok");
    ASSERT_TRUE(server.WaitForRequests(1, 2000));
    EXPECT_THAT(server.Requests()[0],
                ::testing::StartsWith("POST http://db.invalid/in.php?x=1 HTTP/1.0\r\n"));
}

TEST_F(CWebAccessNetworkTest, FailuresGiveTheLibrarysCodeAndText) {
    server.NeverAnswer();
    const std::string refused =
        "http://127.0.0.1:" + std::to_string(LocalHttpServer::ClosedPort()) + "/in.php";
    for (const std::string& url :
         {server.Url("/in.php"), refused, std::string("http://no-such-db.invalid/in.php")}) {
        std::string result = "before";
        const int code = Access().GetPage(url, result);
        EXPECT_GT(code, 1) << url;
        EXPECT_NE(code, 200) << url;
        EXPECT_NE(result, "before") << url;
        EXPECT_FALSE(result.empty()) << url;
    }
}

}  // namespace
