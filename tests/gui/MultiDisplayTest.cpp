// The multi display of a station that shows its stored data: opened and closed
// from the View menu, its tiles, menus, colours and placement kept in
// multi.ini, full screen for a wall. The picture lands in the build folder.
#ifdef WETTER_HAVE_SIMULATOR

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QTest>

#include "DialogChecks.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "gui/app/CChildFrame.h"
#include "gui/app/CMainFrame.h"
#include "gui/app/CWetterApp.h"
#include "gui/display/CDlgMultiAnzeige.h"
#include "gui/display/CMultianzeigeCtrl.h"
#include "gui/display/CWetterView.h"
#include "gui/ui/ColourValue.h"
#include "sim/SeedData.h"

namespace {

constexpr int kInterval = 300;
constexpr const char* kIdentifiers[] = {"TE", "FE", "DR", "RE", "SO", "WG", "WS", "WD", "WR", "WV"};

int CountPixels(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) ++count;
    return count;
}

QAction* FindAction(const QList<QAction*>& actions, const QString& text) {
    for (QAction* action : actions) {
        if (action->text() == text) return action;
        if (action->menu() != nullptr)
            if (QAction* inner = FindAction(action->menu()->actions(), text)) return inner;
    }
    return nullptr;
}

class MultiDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_end = orbsim::LastBoundaryAtOrBefore(std::time(nullptr) - 60, kInterval);
        orbsim::SeedOptions seed;
        seed.folder = m_home.DataFolder();
        seed.days = 1;
        seed.interval = kInterval;
        seed.sensors = {{"TE", 1}, {"FE", 0}, {"DR", 1}, {"RE", 1}, {"SO", 0},
                        {"WG", 1}, {"WS", 1}, {"WD", 1}, {"WR", 0}, {"WV", 0}};
        seed.end = m_end;
        const orbsim::SeedResult result = orbsim::SeedDataFolder(seed);
        ASSERT_TRUE(result.ok) << result.error;
        QSettings("Norvika GmbH", "wetter").clear();
    }

    void TearDown() override {
        if (m_frame != nullptr) m_frame->close();
        m_app.reset();
        QSettings("Norvika GmbH", "wetter").clear();
    }

    void Start(const std::string& stationSections = "") {
        m_home.WriteStation("[Programmstart]\nStart=0\n" + stationSections, kInterval);
        m_home.folder.Write("wetterdefine.ini",
                            "[TE]\nName=Temperature\nUnit=\xB0"
                            "C\nNachKomma=1\nFaktor=1\n"
                            "[FE]\nName=Humidity\nUnit=%\nNachKomma=0\nFaktor=1\n"
                            "[DR]\nName=Air pressure\nUnit=hPa\nNachKomma=1\nFaktor=1\n"
                            "[RE]\nName=Precipitation\nUnit=mm\nNachKomma=1\nFaktor=1\n"
                            "[SO]\nName=Solar radiation\nUnit=W/m\xB2\nNachKomma=0\nFaktor=1\n"
                            "[WG]\nName=Wind speed\nUnit=km/h\nNachKomma=1\nFaktor=1\n"
                            "[WS]\nName=Wind peak\nUnit=km/h\nNachKomma=1\nFaktor=1\n"
                            "[WD]\nName=Wind average\nUnit=km/h\nNachKomma=1\nFaktor=0.2\n"
                            "[WR]\nName=Wind direction\nUnit=deg\nNachKomma=0\nFaktor=1\n"
                            "[WV]\nName=Wind direction 10 min\nUnit=deg\nNachKomma=0\nFaktor=1\n");
        auto ui = std::make_unique<ScriptedUi>();
        m_ui = ui.get();
        m_app = std::make_unique<CWetterApp>(m_home.folder.File("wetter"), std::move(ui));
        ASSERT_TRUE(m_app->InitInstance({"wetter"}));
        m_frame = m_app->MainFrame();
        m_frame->resize(1100, 700);
        ASSERT_FALSE(m_frame->Frames().isEmpty());
    }

    CWetterDoc& Document() { return m_frame->Frames().front()->Document(); }
    CDlgMultiAnzeige* Display() { return CDlgMultiAnzeige::Of(Document()); }

    // "Show multiple display" in the main window's View menu.
    void ToggleFromViewMenu() {
        QAction* toggle = FindAction(m_frame->menuBar()->actions(), "Show multiple display");
        ASSERT_NE(toggle, nullptr);
        toggle->trigger();
        QApplication::processEvents();
    }

    // The last day of every seeded sensor in the diagram.
    void ShowLastDay() {
        CWetterView& view = m_frame->Frames().front()->View();
        PeriodChoice choice;
        choice.lastHours = false;
        choice.presentTime = false;
        choice.start = m_end - 86400 + kInterval;
        choice.end = m_end;
        choice.checkedIdentifiers.assign(std::begin(kIdentifiers), std::end(kIdentifiers));
        const PeriodAcceptance acceptance = AcceptPeriod(choice, std::time(nullptr));
        ASSERT_TRUE(acceptance.accepted) << acceptance.message;
        view.ApplyPeriodChoice(choice, acceptance);
        ASSERT_TRUE(QTest::qWaitFor([&] { return view.IsReady(); }, 10000));
    }

    // "Multi"/"Aktiv" as the station file holds it now.
    int ActiveFlag() { return IniProfile().ReadInt(m_home.StationFile(), "Multi", "Aktiv", -1); }

    StationHome m_home;
    std::time_t m_end = 0;
    ScriptedUi* m_ui = nullptr;
    std::unique_ptr<CWetterApp> m_app;
    CMainFrame* m_frame = nullptr;
};

TEST_F(MultiDisplayTest, ViewMenuShowsTheStationsWindAndTilesAndClosesThemAgain) {
    Start();
    ShowLastDay();
    ToggleFromViewMenu();
    CDlgMultiAnzeige* display = Display();
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(ActiveFlag(), 1);
    EXPECT_TRUE(display->isFloating());
    for (const char* command : {"Set &Alltitude", "&Close multiple display", "Close &Software",
                                "Winddirection in steps of &5", "WV Master", "90%", "Full screen"})
        EXPECT_NE(FindAction(display->MenuBar().actions(), command), nullptr) << command;
    display->resize(1000, 640);
    // The diagram's refresh reaches the display with a moment's "Data..." notice.
    display->UpdateView();
    ASSERT_TRUE(QTest::qWaitFor([&] { return display->Control().DataNoticeShown(); }, 2000));
    EXPECT_TRUE(display->Control().grab().save(Screenshot("multi-display-data-notice.png")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !display->Control().DataNoticeShown(); }, 2000));

    const MultiDisplayValues& values = display->Control().Values();
    EXPECT_GE(values.mainDirection, 0);
    EXPECT_GE(values.secondDirection, 0);
    EXPECT_EQ(values.additional[0].name, "Temperature");
    EXPECT_GT(values.speed.value, -1.0f);
    EXPECT_NE(values.timeText.find(FormatLocalTime(m_end, "%d.%m.%y")), std::string::npos);

    CMultianzeigeCtrl& control = display->Control();
    // The wind turned a little meanwhile: the picture shows the swing too.
    const MultiDisplayValues latest = values;
    MultiDisplayValues earlier = latest;
    earlier.mainDirection = (latest.mainDirection + 335) % 360;
    control.SetValues(earlier);
    control.SetValues(latest);
    EXPECT_EQ(control.width(), display->widget()->width() - 2 * CDlgMultiAnzeige::kMargin);
    const QImage picture = control.grab().toImage();
    EXPECT_TRUE(picture.save(Screenshot("multi-display.png")));
    EXPECT_GT(CountPixels(picture, ToQColor(MultiDisplaySettings::kDefaultTile)), 20000)
        << "nine grey tiles";
    EXPECT_GT(CountPixels(picture, ToQColor(0x0000B4)), 200) << "the needle";
    EXPECT_TRUE(display->grab().save(Screenshot("multi-display-window.png")));

    ToggleFromViewMenu();
    EXPECT_EQ(Display(), nullptr);
    EXPECT_EQ(ActiveFlag(), 0);
    EXPECT_NE(m_home.folder.Read("multi.ini").find("Zusatz1Kennung=TE"), std::string::npos);
    EXPECT_TRUE(m_ui->shown.empty()) << m_ui->shown.front().text;
}

TEST_F(MultiDisplayTest, ChoicesAndPlacementSurviveClosingAndReopening) {
    Start();
    CDlgMultiAnzeige::Toggle(Document(), *m_frame);
    CDlgMultiAnzeige* display = Display();
    ASSERT_NE(display, nullptr);
    display->SetTileSensor(2, "WG");
    display->SetDirectionMaster(2);
    m_ui->colour = 0x203040;
    display->ChooseColour(CDlgMultiAnzeige::ColourChoice::kBackground);
    EXPECT_EQ(display->Control().Colours().background, 0x203040u);
    display->setGeometry(30, 40, 720, 520);
    QApplication::processEvents();
    const QRect placed = display->geometry();

    QAction* close = FindAction(display->MenuBar().actions(), "&Close multiple display");
    ASSERT_NE(close, nullptr);
    close->trigger();
    EXPECT_EQ(Display(), nullptr);

    CDlgMultiAnzeige::Toggle(Document(), *m_frame);
    display = Display();
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->Settings().additionalIds[1], "WG");
    EXPECT_EQ(display->Settings().directionMaster, 2);
    EXPECT_EQ(display->Control().Colours().background, 0x203040u);
    EXPECT_EQ(display->geometry(), placed);
}

// Every start opens the display again: a placement no screen can hold
// (20000 x 20000, checksum and all) must not keep the program from starting.
TEST_F(MultiDisplayTest, AStoredPlacementLargerThanTheScreenOpensFitted) {
    MultiDisplaySettings stored;
    stored.placement = MultiWindowPlacement{MultiWindowPlacement::kShowNormal, 0, 0, 20000, 20000};
    IniProfile profile;
    ASSERT_TRUE(stored.Write(profile, m_home.folder.File("multi.ini")));
    ASSERT_EQ(MultiDisplaySettings::Read(profile, m_home.folder.File("multi.ini")).placement,
              stored.placement);
    Start("[Multi]\nAktiv=1\n");
    CDlgMultiAnzeige* display = Display();
    ASSERT_NE(display, nullptr);
    QApplication::processEvents();
    const QRect available = display->screen()->availableGeometry();
    EXPECT_TRUE(display->isFloating());
    EXPECT_TRUE(available.contains(display->frameGeometry()))
        << display->frameGeometry().width() << "x" << display->frameGeometry().height() << " on "
        << available.width() << "x" << available.height();
    EXPECT_GE(display->width(), available.width() * 9 / 10) << "as large as the screen allows";
    EXPECT_TRUE(display->grab().save(Screenshot("multi-display-fitted.png")));
}

TEST_F(MultiDisplayTest, TheFirstPlacementLiesWholeOnTheScreen) {
    Start();
    // Centred on a main window near the left edge, it would start left of the screen.
    m_frame->setGeometry(0, 0, 700, 500);
    CDlgMultiAnzeige::Toggle(Document(), *m_frame);
    CDlgMultiAnzeige* display = Display();
    ASSERT_NE(display, nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(display->screen()->availableGeometry().contains(display->frameGeometry()))
        << display->frameGeometry().x() << "," << display->frameGeometry().y() << " "
        << display->frameGeometry().width() << "x" << display->frameGeometry().height();
}

TEST_F(MultiDisplayTest, DockedDisplayIsDockedAgainAfterReopening) {
    Start();
    CDlgMultiAnzeige::Toggle(Document(), *m_frame);
    CDlgMultiAnzeige* display = Display();
    ASSERT_NE(display, nullptr);
    m_frame->addDockWidget(Qt::LeftDockWidgetArea, display);
    display->setFloating(false);
    m_frame->resizeDocks({display}, {420}, Qt::Horizontal);
    QApplication::processEvents();
    const int width = display->width();
    CDlgMultiAnzeige::Toggle(Document(), *m_frame);
    CDlgMultiAnzeige::Toggle(Document(), *m_frame);
    display = Display();
    ASSERT_NE(display, nullptr);
    EXPECT_FALSE(display->isFloating());
    EXPECT_EQ(m_frame->dockWidgetArea(display), Qt::LeftDockWidgetArea);
    QApplication::processEvents();
    EXPECT_NEAR(display->width(), width, 2);
    EXPECT_TRUE(m_frame->grab().save(Screenshot("multi-display-docked.png")));
}

TEST_F(MultiDisplayTest, RightClickOnATileOffersTheStationsSensors) {
    Start();
    CDlgMultiAnzeige::Toggle(Document(), *m_frame);
    CDlgMultiAnzeige* display = Display();
    ASSERT_NE(display, nullptr);
    const std::unique_ptr<QMenu> menu = display->SensorMenu(2);
    const QList<QAction*> entries = menu->actions();
    ASSERT_EQ(entries.size(), 2 + 10);
    EXPECT_EQ(entries[0]->text(), "Zusatz-Sensor 2");
    EXPECT_FALSE(entries[0]->isEnabled());
    EXPECT_TRUE(entries[1]->isSeparator());
    EXPECT_EQ(entries[2]->text(), "TE  Temperature");
    EXPECT_TRUE(entries[3]->isChecked()) << entries[3]->text().toStdString() << ": tile 2 shows FE";
    QAction* wind = FindAction(entries, "WG  Wind speed");
    ASSERT_NE(wind, nullptr);
    wind->trigger();
    EXPECT_EQ(display->Settings().additionalIds[1], "WG");
    EXPECT_EQ(display->Control().Values().additional[1].name, "Wind speed");

    const std::unique_ptr<QMenu> colours = display->ColourMenu();
    QStringList texts;
    for (QAction* action : colours->actions()) texts << action->text();
    EXPECT_EQ(texts, (QStringList{"Colour background", "Colour tiles", "Colour text"}));
}

TEST_F(MultiDisplayTest, F11ShowsItFullScreenAndEscapeBringsItBack) {
    Start();
    CDlgMultiAnzeige::Toggle(Document(), *m_frame);
    CDlgMultiAnzeige* display = Display();
    ASSERT_NE(display, nullptr);
    display->setGeometry(100, 100, 800, 500);
    display->activateWindow();
    QApplication::processEvents();
    const QRect before = display->geometry();
    QTest::keyClick(&display->Control(), Qt::Key_F11);
    EXPECT_TRUE(display->IsFullScreen());
    EXPECT_TRUE(display->windowState() & Qt::WindowFullScreen);
    EXPECT_FALSE(display->MenuBar().isVisible());
    QTest::keyClick(&display->Control(), Qt::Key_Escape);
    EXPECT_FALSE(display->IsFullScreen());
    EXPECT_TRUE(display->MenuBar().isVisible());
    EXPECT_EQ(display->geometry(), before);
}

TEST_F(MultiDisplayTest, AStationLeftWithItsDisplayOpenShowsItAgainAtStart) {
    Start("[Multi]\nAktiv=1\n");
    ASSERT_NE(Display(), nullptr);
    // "Close Software" leaves it marked open and ends the program.
    QAction* quit = FindAction(Display()->MenuBar().actions(), "Close &Software");
    ASSERT_NE(quit, nullptr);
    quit->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_frame->Documents().empty(); }, 2000));
    EXPECT_EQ(ActiveFlag(), 1);
    EXPECT_NE(m_home.folder.Read("multi.ini").find("[Window]"), std::string::npos);
}

}  // namespace

#endif
