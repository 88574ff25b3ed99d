// The service mode on a full disk: the current-values page that fails with
// every record is written to standard error and ErrLog.txt once, not once a record.
#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <string>

#include "FakeFileStore.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "app/HeadlessUi.h"
#include "publish/StationPublisher.h"

namespace {

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(ServiceModePage, FullDiskIsReportedOnceUntilAPageIsWrittenAgain) {
    UseUtcZone();
    const std::time_t now = Utc(2024, 2, 1, 12, 0);
    StationHome home;
    home.WriteStation("[Dateninterpretation]\nMit_Speicher=1\nDaten_Speichern=1\n");
    IniProfile profile;
    ManualClock clock(now);
    ManualTimers timers{clock};
    ManualEventQueue events;
    std::ostringstream standardError;
    HeadlessUi ui(standardError);
    ErrorLog errorLog{home.paths.InFolder("ErrLog.txt"), clock, events, ui};
    ui.SetErrorLog(&errorLog);
    ProcessValues process;
    FakeFileStore files;
    AppContext context{profile, home.paths, clock, events, timers, ui, errorLog, process};
    context.files = &files;
    StationPublisher publisher(context);
    context.publisher = &publisher;
    CWetterDoc document(context);
    document.SensorIdentifiers() = {"TE", "FE"};
    document.LoadSensorDefinitions();

    const auto record = [&](int minutes) {
        clock.SetNow(now + minutes * 60);
        document.ProcessLine(Stamp(now + minutes * 60) + "TE5.0,FE80,\r\n", false, false);
    };
    files.replaceError = ENOSPC;
    for (int minutes = 0; minutes < 25; minutes += 5) record(minutes);
    const std::string pageError = "wetter: No space left on device\n";
    EXPECT_EQ(Count(standardError.str(), pageError), 1) << standardError.str();
    EXPECT_EQ(Count(home.folder.Read("ErrLog.txt"), "No space left on device\r\r\n"), 1);

    files.replaceError = 0;
    record(25);
    files.replaceError = ENOSPC;
    record(30);
    EXPECT_EQ(Count(standardError.str(), pageError), 2) << "news again after a written page";
}

}  // namespace
