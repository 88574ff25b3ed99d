// A stored record brings the HTML current-values page and the uploads with it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeFileStore.h"
#include "LocalHttpServer.h"
#include "ScopedEnvironment.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "platform/SystemClock.h"
#include "publish/CHTMLWriter.h"
#include "publish/StationPublisher.h"

namespace {

TEST(StationPublisher, AStoredRecordWritesTheCurrentValuesPage) {
    UseUtcZone();
    const std::time_t now = Utc(2024, 2, 1, 12, 0);
    ManualWorld world(now);
    world.WriteStation("[Dateninterpretation]\nMit_Speicher=1\nDaten_Speichern=1\n");
    FakeFileStore files;
    world.context.files = &files;
    StationPublisher publisher(world.context);
    world.context.publisher = &publisher;
    CWetterDoc document(world.context);
    document.LoadSettings();
    document.SensorIdentifiers() = {"TE", "FE"};
    document.LoadSensorDefinitions();

    document.ProcessLine(Stamp(now) + "TE5.0,FE80,\r\n", false, false);

    const std::string page = files.Read(CHTMLWriter::PageFileName(world.DataFolder(), ""));
    EXPECT_EQ(page, CHTMLWriter::DefaultPage(document.Sensors().CurrentValues()));
    EXPECT_NE(page.find("5.0"), std::string::npos) << page;

    // While the logger is read, the page waits for live values.
    world.process.initialisationRunning = true;
    document.ProcessLine(Stamp(now + 300) + "TE7.5,FE81,\r\n", false, false);
    EXPECT_EQ(files.Read(CHTMLWriter::PageFileName(world.DataFolder(), "")), page);
}

// The record line goes to the script on the worker, once the page is written.
TEST(StationPublisher, AStoredRecordIsUploadedWhenTheUploadIsActive) {
    UseUtcZone();
    const std::time_t now = Utc(2024, 2, 1, 12, 0);
    ScopedEnvironment environment;
    environment.WithoutProxy();
    for (const bool active : {true, false}) {
        LocalHttpServer server;
        server.AnswerWith(200, "ok");
        ManualWorld world(now);
        world.WriteStation("[Dateninterpretation]\nMit_Speicher=1\nDaten_Speichern=1\n");
        world.folder.Write("http_up.ini",
                           "[HTTP]\r\nPfad=" + server.Url("/in.php") +
                               "\r\nBenutzer=anna\r\nPasswort=pw\r\n"
                               "Datenbank=db\r\nTabelle=t\r\n[HttpUpload]\r\nAktiv=" +
                               (active ? "TRUE" : "FALSE") + "\r\n");
        FakeFileStore files;
        world.context.files = &files;
        StationPublisher publisher(world.context);
        world.context.publisher = &publisher;
        EXPECT_EQ(publisher.HttpUploadRecord().Settings().UserName, "anna") << "loaded when made";
        CWetterDoc document(world.context);
        document.LoadSettings();
        document.SensorIdentifiers() = {"TE", "FE"};
        document.LoadSensorDefinitions();

        document.ProcessLine(Stamp(now) + "TE5.0,FE80,\r\n", false, false);
        world.clock.SetNow(now + 300);
        document.ProcessLine(Stamp(now + 300) + "TE5.5,FE81,\r\n", false, false);
        ASSERT_TRUE(publisher.Worker().WaitUntilIdle(std::chrono::seconds(10)));

        const auto requests = server.Requests();
        if (!active) {
            EXPECT_TRUE(requests.empty());
            continue;
        }
        ASSERT_EQ(requests.size(), 2u) << ::testing::PrintToString(requests);
        const std::string query = "POST /in.php?user=anna&pass=pw&db=db&tbl=t&data=";
        EXPECT_THAT(requests[0], ::testing::StartsWith(query + "12:00:00,01.02.24,"));
        EXPECT_THAT(requests[1], ::testing::StartsWith(query + "12:05:00,01.02.24,"));
        EXPECT_THAT(requests[0], ::testing::HasSubstr("%0D%0A HTTP/1.0\r\n"));
        EXPECT_NE(files.Read(CHTMLWriter::PageFileName(world.DataFolder(), "")), "");

        // An upload waits until the record's page is written.
        publisher.HttpUpload(document, "x\r\n");
        EXPECT_EQ(publisher.Worker().Waiting(), 0u);
        publisher.WriteHtmlPage(document);
        ASSERT_TRUE(server.WaitForRequests(3, 10000));
        EXPECT_THAT(server.Requests()[2], ::testing::HasSubstr("&data=x%0D%0A HTTP/1.0"));
    }
}

// The AWEKAS request follows on the worker; here through a proxy that is the test's server.
TEST(StationPublisher, AStoredRecordGoesToAwekasWhenItsUploadIsActive) {
    UseUtcZone();
    const std::time_t now = Utc(2024, 2, 1, 12, 0);
    ScopedEnvironment environment;
    environment.WithoutProxy();
    LocalHttpServer proxy;
    proxy.AnswerWith(200, "OK");
    ManualWorld world(now);
    world.WriteStation("[Dateninterpretation]\nMit_Speicher=1\nDaten_Speichern=1\n");
    world.folder.Write("awekas.ini",
                       "[Awekas]\r\nAktiv=TRUE\r\nUser=anna\r\nPasswort=pw\r\n"
                       "Proxy=TRUE\r\nProxyAddr=127.0.0.1\r\nProxyPort=" +
                           std::to_string(proxy.Port()) + "\r\nSensTE=TE\r\n");
    FakeFileStore files;
    world.context.files = &files;
    StationPublisher publisher(world.context);
    world.context.publisher = &publisher;
    CWetterDoc document(world.context);
    document.LoadSettings();
    document.SensorIdentifiers() = {"TE", "FE"};
    document.LoadSensorDefinitions();

    // A logger record read by the initialisation leaves the current values unset: not sent.
    world.process.initialisationRunning = true;
    document.ProcessLine(Stamp(now) + "TE4.0,FE79,\r\n", true, true);
    world.process.initialisationRunning = false;
    ASSERT_TRUE(publisher.Worker().WaitUntilIdle(std::chrono::seconds(10)));
    EXPECT_TRUE(proxy.Requests().empty()) << ::testing::PrintToString(proxy.Requests());

    world.clock.SetNow(now + 300);
    document.ProcessLine(Stamp(now + 300) + "TE5.0,FE80,\r\n", false, false);
    ASSERT_TRUE(proxy.WaitForRequests(1, 10000));
    EXPECT_THAT(proxy.Requests()[0],
                ::testing::HasSubstr("/eingabe_pruefung.php/eingabe_pruefung.php?val=anna;"));
    EXPECT_THAT(proxy.Requests()[0], ::testing::HasSubstr(";01.02.2024;12:05;5.00;"));
    ASSERT_TRUE(publisher.Worker().WaitUntilIdle(std::chrono::seconds(10)));
    const std::string log = files.Read(world.paths.InFolder("AwekasLog.txt"));
    EXPECT_NE(log.find("eingabe_pruefung.php?val=anna;"), std::string::npos) << log;
}

// "Check connection" sends with what awekas.ini holds, not with the record in memory.
TEST(StationPublisher, AwekasCheckSendsWithTheSavedSettingsAndHandsTheReplyBack) {
    UseUtcZone();
    ScopedEnvironment environment;
    environment.WithoutProxy();
    LocalHttpServer proxy;
    proxy.AnswerWith(200, "Daten OK");
    ManualWorld world(Utc(2024, 2, 1, 12, 0));
    world.WriteStation("");
    const auto saved = [&](bool active) {
        world.folder.Write("awekas.ini", std::string("[Awekas]\r\nAktiv=") +
                                             (active ? "TRUE" : "FALSE") +
                                             "\r\nUser=anna\r\nPasswort=pw\r\nProxy=TRUE\r\n"
                                             "ProxyAddr=127.0.0.1\r\nProxyPort=" +
                                             std::to_string(proxy.Port()) + "\r\n");
    };
    saved(false);
    // The reply is waited for on the real clock.
    SystemClock clock;
    AppContext context{world.profile, world.paths, clock,          world.events,
                       world.timers,  world.ui,    world.errorLog, world.process};
    StationPublisher publisher(context);
    CWetterDoc document(context);
    std::vector<std::string> replies;
    const auto replied = [&](const std::string& reply) { replies.push_back(reply); };

    publisher.AwekasSettingsRecord().active = true;
    EXPECT_FALSE(publisher.CheckAwekasConnection(document, replied));

    saved(true);
    ASSERT_TRUE(publisher.CheckAwekasConnection(document, replied));
    ASSERT_TRUE(publisher.Worker().WaitUntilIdle(std::chrono::seconds(10)));
    EXPECT_TRUE(replies.empty()) << "the reply comes on the user-interface thread";
    world.events.RunPending();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_THAT(replies[0], ::testing::HasSubstr("Daten OK"));
    ASSERT_EQ(proxy.Requests().size(), 1u);
    EXPECT_THAT(proxy.Requests()[0], ::testing::HasSubstr("?val=anna;"));
}

}  // namespace
