// A stored record brings the HTML current-values page with it.
#include <gtest/gtest.h>

#include "FakeFileStore.h"
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

}  // namespace
