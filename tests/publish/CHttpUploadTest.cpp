#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "LocalHttpServer.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "model/OutputList.h"
#include "platform/CurlWebSession.h"
#include "platform/IniProfile.h"
#include "publish/CHttpUpload.h"
#include "publish/CWebAccess.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

// ---- the request URL --------------------------------------------------------

TEST(CHttpUploadUrlTest, OnlyBytesThatCannotStandInAUrlAreEncoded) {
    const struct {
        const char* name;
        std::string value;
        const char* query;
    } rows[] = {
        {"record line end", "12:00,TE5.0,\r\n", "12:00,TE5.0,%0D%0A"},
        {"space and tab", "a b\tc", "a%20b%09c"},
        {"percent", "100%", "100%25"},
        {"hash would end the URL", "a#b", "a%23b"},
        {"bytes from 0x80", "M\xfc\xdf\x80", "M%FC%DF%80"},
        {"delete and NUL", std::string("a\x7f\0b", 4), "a%7F%00b"},
        {"separators stay", "a&b,c:d;e=f", "a&b,c:d;e=f"},
        {"the rest of ASCII stays", "+-./?@[]!$'()*~_\"<>\\^`{|}", "+-./?@[]!$'()*~_\"<>\\^`{|}"},
        {"empty", "", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CHttpUpload::QueryValue(row.value), row.query) << row.name;
}

TEST(CHttpUploadUrlTest, EveryFieldGoesIntoTheFixedFormat) {
    HttpUploadSettings settings;
    settings.ScriptPath = "http://db.example/wetter/in.php";
    settings.UserName = "anna b";
    settings.UserPassword = "p&s=1%";
    settings.Database = "wetter";
    settings.Table = "t#1";
    settings.ProxyAddress = "proxy.example";
    settings.ProxyPort = 3128;

    EXPECT_EQ(CHttpUpload::RequestUrl(settings, "12:00:00,01.02.24,TE5.0,FE80,\r\n"),
              "http://db.example/wetter/in.php?user=anna%20b&pass=p&s=1%25&db=wetter&tbl=t%231"
              "&data=12:00:00,01.02.24,TE5.0,FE80,%0D%0A");
}

TEST(CHttpUploadUrlTest, ShownTextsNeverCarryThePassword) {
    const struct {
        const char* text;
        const char* shown;
    } rows[] = {
        {"x?user=u&pass=secret&db=d&tbl=t", "x?user=u&pass=****&db=d&tbl=t"},
        {"x?user=u&pass=a&b=c&db=d", "x?user=u&pass=****&db=d"},
        {"x?user=u&pass=&db=d", "x?user=u&pass=****&db=d"},
        {"got pass=secret\r\nbye", "got pass=****\r\nbye"},
        {"<a href=\"in.php?pass=s\">", "<a href=\"in.php?pass=****\">"},
        {"pass=1 and pass=2", "pass=**** and pass=****"},
        {"no password here", "no password here"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CHttpUpload::HidePassword(row.text), row.shown) << row.text;
}

// ---- http_up.ini ------------------------------------------------------------

class CHttpUploadSettingsTest : public ::testing::Test {
protected:
    TempFolder folder;
    IniProfile profile;
    std::string file = folder.File("http_up.ini");
    CHttpUpload upload{profile, file};
};

TEST_F(CHttpUploadSettingsTest, LoadReadsEachKeyWithItsLimit) {
    const std::string longText(300, 'x');
    const std::string longPath = "http://h/" + std::string(1100, 'p');
    folder.Write("http_up.ini", "[HTTP]\r\nDatenbank=" + longText + "\r\nTabelle=daten\r\nPfad=" +
                                    longPath + "\r\nBenutzer=anna\r\nPasswort= geheim \r\n" +
                                    "Proxy=proxy.example\r\nPort=3128x\r\n");
    upload.LoadUploadSettings();

    const HttpUploadSettings& s = upload.Settings();
    EXPECT_EQ(s.Database, std::string(256, 'x'));
    EXPECT_EQ(s.Table, "daten");
    EXPECT_EQ(s.ScriptPath, longPath.substr(0, 1024));
    EXPECT_EQ(s.UserName, "anna");
    EXPECT_EQ(s.UserPassword, "geheim");
    EXPECT_EQ(s.ProxyAddress, "proxy.example");
    EXPECT_EQ(s.ProxyPort, 3128);
}

TEST_F(CHttpUploadSettingsTest, MissingFileGivesEmptySettings) {
    upload.Settings().Database = "left over";
    upload.LoadUploadSettings();
    EXPECT_EQ(upload.Settings(), HttpUploadSettings{});
    EXPECT_FALSE(upload.ReadUploadActive());
}

TEST_F(CHttpUploadSettingsTest, SaveWritesTheKeysInTheirOrder) {
    HttpUploadSettings& s = upload.Settings();
    s.Database = "wetter";
    s.Table = "daten";
    s.ScriptPath = "http://db.example/in.php";
    s.UserName = "anna";
    s.UserPassword = "p&ss w";
    s.ProxyAddress = "";
    s.ProxyPort = 8080;
    ASSERT_TRUE(upload.SaveUploadSettings());
    ASSERT_TRUE(upload.WriteUploadActive(true));

    EXPECT_EQ(folder.Read("http_up.ini"),
              "[HTTP]\r\nDatenbank=wetter\r\nTabelle=daten\r\nPfad=http://db.example/in.php\r\n"
              "Benutzer=anna\r\nPasswort=p&ss w\r\nProxy=\r\nPort=8080\r\n"
              "[HttpUpload]\r\nAktiv=TRUE\r\n");

    CHttpUpload again(profile, file);
    again.LoadUploadSettings();
    EXPECT_EQ(again.Settings(), s);
}

// The profile drops blanks and one pair of quotes at a value's ends; a text
// that has them, typed or read so, must still come back as it was saved.
TEST_F(CHttpUploadSettingsTest, TextsWithOuterBlanksOrQuotesReadBackAsSaved) {
    for (const char* text : {"\"x\"", " geheim ", "'a'", "\"\"", "\"open", "\t"}) {
        HttpUploadSettings& s = upload.Settings();
        s.UserPassword = text;
        s.Database = text;
        s.ScriptPath = std::string("http://h/") + text;
        ASSERT_TRUE(upload.SaveUploadSettings());
        CHttpUpload again(profile, file);
        again.LoadUploadSettings();
        EXPECT_EQ(again.Settings(), s) << text;
    }
}

TEST_F(CHttpUploadSettingsTest, SaveKeepsOtherLinesAndTheSwitch) {
    folder.Write("http_up.ini",
                 "; by hand\r\n[HttpUpload]\r\nAktiv=TRUE\r\n[HTTP]\r\nPort=1\r\nExtra=x\r\n");
    upload.Settings().Table = "t";
    ASSERT_TRUE(upload.SaveUploadSettings());
    EXPECT_EQ(folder.Read("http_up.ini"),
              "; by hand\r\n[HttpUpload]\r\nAktiv=TRUE\r\n[HTTP]\r\nPort=0\r\nExtra=x\r\n"
              "Datenbank=\r\nTabelle=t\r\nPfad=\r\nBenutzer=\r\nPasswort=\r\nProxy=\r\n");
    EXPECT_TRUE(upload.ReadUploadActive());
}

TEST_F(CHttpUploadSettingsTest, TheSwitchIsOnOnlyForTRUE) {
    const struct {
        const char* line;
        bool active;
    } rows[] = {
        {"Aktiv=TRUE", true},   {"Aktiv= TRUE ", true}, {"Aktiv=true", false},
        {"Aktiv=FALSE", false}, {"Aktiv=1", false},     {"", false},
    };
    for (const auto& row : rows) {
        folder.Write("http_up.ini", std::string("[HttpUpload]\r\n") + row.line + "\r\n");
        EXPECT_EQ(upload.ReadUploadActive(), row.active) << row.line;
    }
    ::unlink(file.c_str());
    ASSERT_TRUE(upload.WriteUploadActive(false));
    EXPECT_EQ(folder.Read("http_up.ini"), "[HttpUpload]\r\nAktiv=FALSE\r\n");
}

TEST_F(CHttpUploadSettingsTest, OnlyTheOwnerMayReadTheFileWithThePassword) {
    const mode_t before = ::umask(022);
    const auto mode = [&] {
        struct stat st {};
        EXPECT_EQ(::stat(file.c_str(), &st), 0);
        return st.st_mode & 0777;
    };

    upload.Settings().UserPassword = "geheim";
    ASSERT_TRUE(upload.SaveUploadSettings());
    EXPECT_EQ(mode(), 0600u) << "new file";

    // A file the Windows program or a copy left readable for everyone.
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    ASSERT_TRUE(upload.SaveUploadSettings());
    EXPECT_EQ(mode(), 0600u) << "existing file";

    ::unlink(file.c_str());
    ASSERT_TRUE(upload.WriteUploadActive(true));
    EXPECT_EQ(mode(), 0600u) << "made by the switch";
    ::umask(before);
}

TEST_F(CHttpUploadSettingsTest, SaveFailsWhenTheFolderIsMissing) {
    CHttpUpload nowhere(profile, folder.File("gone/http_up.ini"));
    EXPECT_FALSE(nowhere.SaveUploadSettings());
    EXPECT_FALSE(nowhere.WriteUploadActive(true));
}

// ---- sending ----------------------------------------------------------------

class CHttpUploadSendTest : public ::testing::Test {
protected:
    void SetUp() override {
        environment.WithoutProxy();
        OutputList::Process().Clear();
    }

    HttpUploadSettings Settings() const {
        HttpUploadSettings s;
        s.ScriptPath = server.Url("/db/in.php");
        s.UserName = "anna";
        s.UserPassword = "ge heim";
        s.Database = "wetter";
        s.Table = "daten";
        return s;
    }
    static void Send(const HttpUploadSettings& settings, const std::string& text) {
        CWebAccess access(std::make_unique<CurlWebSession>());
        CHttpUpload::SendRecord(settings, text, access);
    }
    static std::vector<tagOutpElm> Lines() { return OutputList::Process().Snapshot(); }

    ScopedEnvironment environment;
    LocalHttpServer server;
};

TEST_F(CHttpUploadSendTest, TheRecordArrivesAsTheQueryAndTheReplyIsShown) {
    server.AnswerWith(200, "1 row");
    Send(Settings(), "12:00:00,01.02.24,TE5.0,FE80,\r\n");

    ASSERT_TRUE(server.WaitForRequests(1, 5000));
    EXPECT_THAT(server.Requests()[0],
                StartsWith("POST /db/in.php?user=anna&pass=ge%20heim&db=wetter&tbl=daten"
                           "&data=12:00:00,01.02.24,TE5.0,FE80,%0D%0A HTTP/1.0\r\n"));
    EXPECT_EQ(Lines(), (std::vector<tagOutpElm>{{"HTTP_SendString1 row", 0x0000FF}}));
}

TEST_F(CHttpUploadSendTest, TheProxyFieldsChangeNothing) {
    HttpUploadSettings withProxy = Settings();
    withProxy.ProxyAddress = "127.0.0.1";
    withProxy.ProxyPort = LocalHttpServer::ClosedPort();
    Send(Settings(), "r\r\n");
    Send(withProxy, "r\r\n");
    ASSERT_TRUE(server.WaitForRequests(2, 5000));
    EXPECT_EQ(server.Requests()[0], server.Requests()[1]);
}

TEST_F(CHttpUploadSendTest, FailuresShowOnlyInTheLine) {
    server.AnswerWith(404, "not here");
    Send(Settings(), "r\r\n");
    HttpUploadSettings refused = Settings();
    refused.ScriptPath =
        "http://127.0.0.1:" + std::to_string(LocalHttpServer::ClosedPort()) + "/in.php";
    Send(refused, "r\r\n");

    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], (tagOutpElm{"HTTP_SendString", 0x0000FF})) << "status other than 200";
    EXPECT_THAT(lines[1].text, StartsWith("HTTP_SendString"));
    EXPECT_GT(lines[1].text.size(), std::string("HTTP_SendString").size()) << "error text";
}

TEST_F(CHttpUploadSendTest, AnEchoedQueryDoesNotShowThePassword) {
    server.AnswerWith(200, "got user=anna&pass=ge%20heim&db=wetter");
    Send(Settings(), "r\r\n");
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "HTTP_SendStringgot user=anna&pass=****&db=wetter");
    EXPECT_THAT(lines[0].text, Not(HasSubstr("heim")));
}

}  // namespace
