// The initialisation and clock windows over their core rules.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <memory>

#include "FakeTransport.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "gui/comm/CInitDlg.h"
#include "gui/comm/CZeitStellen.h"
#include "gui/platform/QtEventQueue.h"
#include "gui/platform/QtTimers.h"
#include "platform/SystemClock.h"

namespace {

TEST(CInitDlg, ShowsTheConnectionAndEndsAfterTheLabelsOfAStationWithoutLogger) {
    StationHome home;
    home.WriteStation("[Dateninterpretation]\nMit_Speicher=1\n");
    IniProfile profile;
    SystemClock clock;
    QtEventQueue events;
    QtTimers timers;
    ScriptedUi ui;
    ErrorLog errorLog{home.paths.InFolder("ErrLog.txt"), clock, events, ui};
    ProcessValues process;
    AppContext context{profile, home.paths, clock, events, timers, ui, errorLog, process};
    CWetterDoc doc(context);
    auto feed = std::make_shared<ByteFeedTransport>();
    process.CurrentTransport.Exchange(feed);
    feed->Feed("12:00:00,10.03.24,TE5.0,FE80,\r\n12:00:10,10.03.24,TE5.1,FE81,\r\n");

    CInitDlg dialog(doc, nullptr);
    QTimer::singleShot(5000, &dialog, [&] { dialog.done(QDialog::Rejected); });
    EXPECT_EQ(dialog.Run(), QDialog::Accepted);
    EXPECT_EQ(dialog.windowTitle(), "Connectingfeed");
    EXPECT_EQ(dialog.StatusText(), "Reading sensor labels...");
    EXPECT_FALSE(dialog.CancelButton().isEnabled());
    EXPECT_EQ(doc.SensorIdentifiers(), (std::vector<std::string>{"TE", "FE"}));
    EXPECT_TRUE(ui.shown.empty());
}

TEST(CZeitStellen, DeletionOnlyWithSettingTheStation) {
    UseUtcZone();
    ManualClock clock(Utc(2024, 3, 10, 12, 0, 5));
    CZeitStellen dialog(clock, Utc(2024, 3, 10, 11, 0));
    EXPECT_EQ(dialog.PcTimeText(), "12:00:05  10.03.24");
    EXPECT_EQ(dialog.StationTimeText(), "11:00:00  10.03.24");
    QGroupBox* deletion = dialog.findChild<QGroupBox*>();
    ASSERT_NE(deletion, nullptr);
    EXPECT_TRUE(deletion->isEnabled());
    dialog.ChoiceButton(1).setChecked(true);
    EXPECT_FALSE(deletion->isEnabled());
    dialog.ChoiceButton(0).setChecked(true);
    dialog.DeleteButton(true).setChecked(true);
    EXPECT_TRUE(dialog.ChoiceButton(0).isChecked());
    EXPECT_FALSE(dialog.ChoiceButton(1).isChecked());

    QTimer::singleShot(0, &dialog, [&] { dialog.accept(); });
    const std::optional<ClockDialogResult> result = dialog.Choose();
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->choice, ClockChoice::kStationFromPc);
    EXPECT_TRUE(result->deleteLogger);
    EXPECT_EQ(result->command, "!U120005100324");
}

}  // namespace
