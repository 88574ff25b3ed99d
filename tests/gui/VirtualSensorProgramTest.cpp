// The program connected to the simulated station: a virtual sensor defined
// through its window is computed and stored with the next record.
#ifdef WETTER_HAVE_SIMULATOR

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

#include "StationHome.h"
#include "StationOnTcp.h"
#include "app/CWetterDoc.h"
#include "gui/app/CMainFrame.h"
#include "gui/app/CWetterApp.h"
#include "gui/calc/CSensorDefineDlg.h"
#include "sim/SeedData.h"
#include "sim/Station.h"

namespace {

// The last complete line of `path`, or nothing.
std::string LastLine(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line, last;
    while (std::getline(in, line))
        if (!line.empty() && line.back() == '\r') last = line;
    return last;
}

// The value after `identifier` in a stored record line, or NaN.
double ValueOf(const std::string& line, const std::string& identifier) {
    const std::size_t at = line.find("," + identifier);
    if (at == std::string::npos) return std::nan("");
    return std::strtod(line.c_str() + at + 1 + identifier.size(), nullptr);
}

TEST(VirtualSensorProgram, ASensorDefinedInItsWindowIsStoredWithTheNextRecord) {
    QSettings("Norvika GmbH", "wetter").clear();
    StationHome home;
    orbsim::StationOptions options;
    options.cycleSeconds = 0.3;
    options.sensors = {{"TE", 1}, {"FE", 0}};
    std::unique_ptr<orbsim::Station> station =
        StartStationOnTcp(home, options, "[Virtuelle_Sensoren]\nSpeichern=TRUE\n");
    ASSERT_NE(station, nullptr);

    auto ui = std::make_unique<ScriptedUi>();
    ScriptedUi& shown = *ui;
    CWetterApp app(home.folder.File("wetter"), std::move(ui));
    ASSERT_TRUE(app.InitInstance({"wetter"}));
    CMainFrame& frame = *app.MainFrame();
    CWetterDoc& document = *frame.Documents().front();
    ASSERT_TRUE(document.AcquisitionRunning());

    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CSensorDefineDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->IdentifierField().setText("TD");
        dialog->NameField().setText("Doppelt");
        dialog->UnitField().setText("C");
        dialog->FormulaField().setText("TE * 2");
        dialog->LowerLimitField().setText("-200");
        dialog->UpperLimitField().setText("200");
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    const bool stored = ShowVirtualSensorDefinition(document, "", &frame);
    ASSERT_TRUE(stored) << (shown.shown.empty() ? "" : shown.shown.front().text);

    // The next stored line carries TD, twice its TE.
    std::string line;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            line = LastLine(document.CurrentFileName());
            return line.find(",TD") != std::string::npos;
        },
        10000))
        << line;
    EXPECT_NEAR(ValueOf(line, "TD"), 2 * ValueOf(line, "TE"), 0.011) << line;
    EXPECT_TRUE(shown.shown.empty()) << shown.shown.front().text;
    frame.close();
}

}  // namespace

#endif
