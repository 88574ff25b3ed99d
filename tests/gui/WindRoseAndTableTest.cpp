// The diagram view's wind-rose windows and its data table with seeded data:
// the dial follows the current values, the table shows, saves and prints the
// view's series, the two tool commands start what lies in the data folder.
// Pictures land in the build folder for people to look at.
#ifdef WETTER_HAVE_SIMULATOR

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QTableWidget>
#include <QTest>

#include "RecordingLauncher.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "gui/app/CChildFrame.h"
#include "gui/app/CMainFrame.h"
#include "gui/app/CWetterApp.h"
#include "gui/display/CDlgDataList.h"
#include "gui/display/CDlgWindRose.h"
#include "gui/display/CWetterView.h"
#include "gui/display/CWindroseCtrl.h"
#include "sim/SeedData.h"
#include "storage/CAktuell.h"

namespace {

constexpr int kInterval = 600;

QString Screenshot(const char* name) {
    const QString folder = WETTER_SCREENSHOT_DIR;
    QDir().mkpath(folder);
    return folder + "/" + name;
}

int CountPixels(const QImage& image, QColor colour, int tolerance = 60) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <=
                tolerance)
                ++count;
        }
    return count;
}

// A station that only shows its stored data: a day of temperature, wind speed
// and wind direction; the direction opens a wind rose with the speed as its value.
class WindRoseAndTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_end = orbsim::LastBoundaryAtOrBefore(std::time(nullptr) - 60, kInterval);
        orbsim::SeedOptions seed;
        seed.folder = m_home.DataFolder();
        seed.days = 1;
        seed.interval = kInterval;
        seed.sensors = {{"TE", 1}, {"WG", 1}, {"WR", 0}};
        seed.end = m_end;
        const orbsim::SeedResult result = orbsim::SeedDataFolder(seed);
        ASSERT_TRUE(result.ok) << result.error;
        m_home.WriteStation("[Programmstart]\nStart=0\n", kInterval);
        m_home.folder.Write("wetterdefine.ini",
                            "[TE]\nName=Temperature\nUnit=\xB0"
                            "C\nNachKomma=1\nFaktor=1\nFarbe=200\n"
                            "Untergrenze Wert=-50\nObergrenze Wert=100\n"
                            "[WG]\nName=Wind speed\nUnit=m/s\nNachKomma=1\nFaktor=1\n"
                            "Untergrenze Wert=0\nObergrenze Wert=100\n"
                            "[WR]\nName=Wind direction\nUnit=deg\nNachKomma=0\nFaktor=1\n"
                            "Untergrenze Wert=0\nObergrenze Wert=360\n"
                            "Windrose=Enabled\nSens1Ausblenden=Enabled\n"
                            "WindroseSensor1=WR\nWindroseSensor3=WG\n");
        QSettings("Norvika GmbH", "wetter").clear();
        auto ui = std::make_unique<ScriptedUi>();
        m_ui = ui.get();
        m_app = std::make_unique<CWetterApp>(m_home.folder.File("wetter"), std::move(ui));
        ASSERT_TRUE(m_app->InitInstance({"wetter"}));
        m_frame = m_app->MainFrame();
        m_frame->resize(1000, 650);
        ASSERT_FALSE(m_frame->Frames().isEmpty());
        m_frame->Frames().front()->showMaximized();
    }

    void TearDown() override {
        if (m_frame != nullptr) {
            View().Document().Context().launcher = nullptr;
            m_frame->close();
        }
        m_app.reset();
        QSettings("Norvika GmbH", "wetter").clear();
    }

    CWetterView& View() { return m_frame->Frames().front()->View(); }

    void SetCurrent(const char* identifier, float value) {
        for (const auto& current : View().Document().Sensors().CurrentValues())
            if (current->m_identifier == identifier) current->m_value = value;
    }

    void ShowMomentary(std::vector<std::string> identifiers) {
        PeriodChoice choice;
        choice.momentary = true;
        choice.checkedIdentifiers = std::move(identifiers);
        View().ApplyPeriodChoice(choice, AcceptPeriod(choice, std::time(nullptr)));
    }

    // "Get data" for the seeded day.
    void ShowDay(std::vector<std::string> identifiers) {
        PeriodChoice choice;
        choice.lastHours = false;
        choice.presentTime = false;
        choice.start = m_end - 86400;
        choice.end = m_end;
        choice.checkedIdentifiers = std::move(identifiers);
        const PeriodAcceptance acceptance = AcceptPeriod(choice, std::time(nullptr));
        ASSERT_TRUE(acceptance.accepted) << acceptance.message;
        View().ApplyPeriodChoice(choice, acceptance);
        ASSERT_TRUE(QTest::qWaitFor([&] { return View().IsReady(); }, 10000));
    }

    StationHome m_home;
    std::time_t m_end = 0;
    ScriptedUi* m_ui = nullptr;
    std::unique_ptr<CWetterApp> m_app;
    CMainFrame* m_frame = nullptr;
};

TEST_F(WindRoseAndTableTest, WindRoseFollowsTheCurrentValuesAndIsEmptyForAHistoricPeriod) {
    SetCurrent("WR", 247.6f);
    SetCurrent("WG", 4.25f);
    ShowMomentary({"TE", "WR"});
    CWetterView& view = View();
    ASSERT_EQ(view.WindRoseWindows().size(), 1u) << "only the direction sensor has one";
    CDlgWindRose& rose = *view.WindRoseWindows().front();
    EXPECT_EQ(rose.windowTitle(), "Windrose   (\"Wind direction\\Wind speed\")");
    EXPECT_TRUE(rose.isVisible());

    WindroseValues expected;
    expected.direction = 247;
    expected.value = 4.25;
    expected.unit = "m/s";
    EXPECT_EQ(rose.Control().Values(), expected);
    // The dial fills the window less its margin.
    EXPECT_EQ(rose.Control().geometry(),
              rose.rect().adjusted(CDlgWindRose::kMargin, CDlgWindRose::kMargin,
                                   -CDlgWindRose::kMargin, -CDlgWindRose::kMargin));

    // A new reading reaches the dial with the view's update; a calm fades it out.
    SetCurrent("WR", 30.0f);
    view.UpdateView();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rose.Control().Values().direction == 30; }, 2000));
    const QImage dial = rose.grab().toImage();
    EXPECT_TRUE(dial.save(Screenshot("wind-rose.png")));
    EXPECT_GT(CountPixels(dial, Qt::red), 40) << "the recent range's needles";
    EXPECT_GT(CountPixels(dial, Qt::black), 1500) << "needle, texts and ticks";
    SetCurrent("WG", 0.0f);
    view.UpdateView();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rose.Control().Values().HasDirection(); }, 2000));
    EXPECT_FALSE(rose.Control().Values().HasValue());

    ShowDay({"WR"});
    ASSERT_EQ(view.WindRoseWindows().size(), 1u);
    EXPECT_EQ(view.WindRoseWindows().front()->Control().Values(), WindroseValues{});

    // Closed by the user, it leaves the view's list; the sensor stays.
    view.WindRoseWindows().front()->close();
    QTest::qWait(20);
    EXPECT_TRUE(view.WindRoseWindows().empty());
    EXPECT_EQ(view.SensorIdentifiers(), std::vector<std::string>{"WR"});
    EXPECT_TRUE(m_ui->shown.empty()) << m_ui->shown.front().text;
}

TEST_F(WindRoseAndTableTest, TableShowsSavesAndPrintsTheViewsSeries) {
    CWetterView& view = View();
    EXPECT_EQ(view.Table(), nullptr);
    // Before any period: only the date and time columns.
    view.Action(CWetterView::Command::kShowTable).trigger();
    ASSERT_NE(view.Table(), nullptr);
    EXPECT_EQ(view.Table()->List().ColumnCount(), 2u);

    ShowDay({"TE", "WG"});
    view.Action(CWetterView::Command::kShowTable).trigger();
    CDlgDataList& table = *view.Table();
    EXPECT_TRUE(table.isVisible());
    EXPECT_EQ(table.windowTitle(), "View list");
    const QTableWidget& control = table.TableControl();
    ASSERT_EQ(control.columnCount(), 4);
    EXPECT_EQ(control.horizontalHeaderItem(2)->text(), "Wind speedm/s") << "the last window first";
    EXPECT_EQ(control.horizontalHeaderItem(3)->text(), QString("Temperature\u00B0C"));
    ASSERT_GT(control.rowCount(), 100);
    EXPECT_EQ(control.columnWidth(2), DataList::kColumnWidth);
    EXPECT_TRUE(control.item(0, 2)->text().endsWith(" m/s"))
        << control.item(0, 2)->text().toStdString();
    table.resize(560, 360);
    EXPECT_TRUE(table.grab().save(Screenshot("data-table.png")));

    // Saved through the file dialog: numbers without units, comma-separated.
    m_ui->file = m_home.folder.File("Wetterdat.csv");
    ASSERT_TRUE(table.Save());
    const std::string saved = m_home.folder.Read("Wetterdat.csv");
    EXPECT_TRUE(
        saved.starts_with("Date,Time,Wind speedm/s,Temperature\xB0"
                          "C,\n"))
        << saved.substr(0, 80);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), control.rowCount() + 1);
    EXPECT_EQ(saved.find(" m/s"), std::string::npos);

    // A target that cannot be written: the system's message, nothing else.
    EXPECT_FALSE(table.SaveTo(m_home.folder.File("no/such/folder.csv")));
    ASSERT_EQ(m_ui->Messages().size(), 1u);
    EXPECT_NE(m_ui->Messages()[0].find("No such file or directory"), std::string::npos);

    // Printed to a PDF file: the headers and the first values are on the first page.
    const QString pdf = QString::fromStdString(m_home.folder.File("list.pdf"));
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    ASSERT_TRUE(table.Print(printer));
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains("Wind speedm/s")) << printed.left(300).toStdString();
    EXPECT_TRUE(printed.contains(control.item(0, 3)->text()));
    EXPECT_GE(printed.count('\f'), 2) << "more rows than one page holds";
    QProcess render;
    render.start("pdftoppm", {"-png", "-r", "50", "-f", "1", "-l", "1", "-singlefile", pdf,
                              Screenshot("data-table-print")});
    ASSERT_TRUE(render.waitForFinished(20000));
}

TEST_F(WindRoseAndTableTest, ToolCommandsStartWhatLiesInTheDataFolder) {
    CWetterView& view = View();
    RecordingLauncher launcher;
    view.Document().Context().launcher = &launcher;

    view.Action(CWetterView::Command::kCsvConverter).trigger();
    EXPECT_TRUE(launcher.calls.empty());
    ASSERT_EQ(m_ui->Messages().size(), 2u) << "the question, then the missing tool";
    EXPECT_NE(m_ui->Messages()[1].find("convtool was not found"), std::string::npos);

    m_home.folder.Write("Daten/sumtool.exe", "");
    view.Action(CWetterView::Command::kCsvStatistics).trigger();
    EXPECT_EQ(launcher.calls, std::vector<std::string>{"launch in " + m_home.DataFolder() + " " +
                                                       m_home.DataFolder() + "/sumtool.exe"});
    EXPECT_EQ(view.Action(CWetterView::Command::kCsvStatistics).text(), "CSV-Statistics");
    EXPECT_TRUE(
        view.ContextMenu().actions().contains(&view.Action(CWetterView::Command::kShowTable)));
}

}  // namespace

#endif
