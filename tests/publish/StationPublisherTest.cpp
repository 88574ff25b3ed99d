// A stored record brings the HTML current-values page and the uploads with it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeFileStore.h"
#include "LocalHttpServer.h"
#include "ScopedEnvironment.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
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

}  // namespace
