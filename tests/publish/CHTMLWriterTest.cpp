#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "FakeFileStore.h"
#include "ScriptedUi.h"
#include "TempFolder.h"
#include "UtcTime.h"
#include "app/StationView.h"
#include "model/CSensoren.h"
#include "model/OutputList.h"
#include "model/StationSettings.h"
#include "platform/IniProfile.h"
#include "platform/PosixFileStore.h"
#include "platform/ProgramPaths.h"
#include "publish/CHTMLWriter.h"
#include "storage/CAktuell.h"
#include "storage/FailureEpisode.h"
#include "storage/SensorSet.h"

namespace {

// Every LF of `text` preceded by CR: the pages' line ends.
std::string CrLf(const std::string& text) {
    std::string bytes;
    for (const char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return bytes;
}

const std::string kHead =
    "<html>\n"
    "<title>Aktuelle Wetterdaten</title>\n"
    "<body bgcolor=\"#FFFF8C\">\n"
    "<div id=\"DataBox\" style=\"float: left; width: 500px;\" align=center>\n";
const std::string kTableHead =
    "<table border width=50% align=center>\n"
    "<br>\n"
    "<tr><td><font size=\"4\"><strong>Sensor</strong></td><td><strong>Wert</strong></font></td>"
    "</tr>\n";
const std::string kDateLine = "Datenerfassung<br>am: 03.03.24 um: 14h : 05m : 09s<br><br><br>\n";
const std::string kIntro = "<div id=\"IntroBox\" style=\"float: left; margin-left: 15px; \">\n";
const std::string kTemperatureRow =
    "<tr>\n"
    "<td><nobr><font size=\"4\"><strong>Temperatur</strong></font></nobr></td>\n"
    "<td><nobr><font size=\"4\"><strong>12.5 \xB0"
    "C</strong></font></nobr></td>\n"
    "</tr>\n";
const std::string kHumidityRow =
    "<tr>\n"
    "<td><nobr><font size=\"4\"><strong>Luftfeuchte</strong></font></nobr></td>\n"
    "<td><nobr><font size=\"4\"><strong>71 %</strong></font></nobr></td>\n"
    "</tr>\n";
const std::string kRainRow =
    "<tr>\n"
    "<td><nobr><font size=\"4\"><strong>Regen</strong></font></nobr></td>\n"
    "<td><nobr><font size=\"4\">---- mm</font></nobr></td>\n"
    "</tr>\n";
const std::string kWindRow =
    "<tr>\n"
    "<td><nobr><font size=\"4\"><strong>Wind</strong></font></nobr></td>\n"
    "<td><nobr><font size=\"4\"><strong>-3.25 km/h</strong></font></nobr></td>\n"
    "</tr>\n";

struct SensorRow {
    const char* name;
    const char* unit;
    int decimals;
    float value;
};

// Temperatur (1 decimal, unit in Windows-1252), Luftfeuchte (none), Regen
// without a value, Wind (2 decimals, a negative value). Only the first value's
// time dates the page.
const std::vector<SensorRow> kStationSensors = {
    {"Temperatur",
     "\xB0"
     "C",
     1, 12.46f},
    {"Luftfeuchte", "%", 0, 71.0f},
    {"Regen", "mm", 2, -99999.0f},
    {"Wind", "km/h", 2, -3.25f},
};

void FillSensors(const std::vector<std::unique_ptr<CSensoren>>& sensors,
                 const std::vector<std::unique_ptr<CAktuell>>& values) {
    for (std::size_t i = 0; i < kStationSensors.size(); ++i) {
        sensors[i]->m_name = kStationSensors[i].name;
        sensors[i]->m_unit = kStationSensors[i].unit;
        sensors[i]->m_decimals = kStationSensors[i].decimals;
        values[i]->m_value = kStationSensors[i].value;
        values[i]->m_rawValue = 1.0f;  // the page shows the converted value
        values[i]->m_time = Utc(2024, 3, 3, 14, 5, 9) + static_cast<std::time_t>(60 * i);
    }
}

// A station whose sensors come from no files; the test sets what the page reads.
class FakeStation final : public StationView {
public:
    explicit FakeStation(std::vector<std::string> identifiers = {"TE", "FE", "RE", "WG"})
        : m_identifiers(std::move(identifiers)) {
        IniProfile profile;
        m_sensors.Load(profile, "/nonexistent/define.ini", "/nonexistent/intern.ini",
                       m_identifiers);
        if (m_identifiers.size() == kStationSensors.size())
            FillSensors(m_sensors.Sensors(), m_sensors.CurrentValues());
    }
    const StationSettings& Settings() const override { return settings; }
    const SensorSet& Sensors() const override { return m_sensors; }
    const std::vector<std::string>& SensorIdentifiers() const override { return m_identifiers; }
    std::time_t LastStoredTime() const override { return 0; }
    std::time_t LastReceivedTime() const override { return 0; }
    const std::string& DataFolder() const override { return dataFolder; }
    const std::string& DataFileExtension() const override { return extension; }

    StationSettings settings;
    std::string dataFolder = "/station/Daten";
    std::string extension = ".orb";

private:
    std::vector<std::string> m_identifiers;
    SensorSet m_sensors;
};

// The current values without a station, for the page bytes themselves.
struct Values {
    Values() {
        for (const auto& row : kStationSensors) {
            sensors.push_back(std::make_unique<CSensoren>());
            values.push_back(std::make_unique<CAktuell>(row.name, sensors.back().get()));
        }
        FillSensors(sensors, values);
    }
    std::vector<std::unique_ptr<CSensoren>> sensors;
    CHTMLWriter::CurrentValues values;
};

class HtmlPageTest : public ::testing::Test {
protected:
    void SetUp() override { UseUtcZone(); }
    Values station;
};

TEST_F(HtmlPageTest, DefaultPageListsEverySensorWithItsDecimalsAndMissingValues) {
    const std::string expected =
        kHead +
        "<title><font size=\"4\"><strong>Aktuelle Defaultdatenerfassung</strong></font></title>"
        "<br><br>\n"
        "<br><br>\n" +
        kTableHead + kDateLine + kTemperatureRow + kHumidityRow + kRainRow + kWindRow +
        "</table>\n</div>\n</html>\n";
    EXPECT_EQ(CHTMLWriter::DefaultPage(station.values), CrLf(expected));
}

TEST_F(HtmlPageTest, DefaultPageWithoutValuesHasNoDateLine) {
    const std::string expected =
        kHead +
        "<title><font size=\"4\"><strong>Aktuelle Defaultdatenerfassung</strong></font></title>"
        "<br><br>\n"
        "<br><br>\n" +
        kTableHead + "</table>\n</div>\n</html>\n";
    EXPECT_EQ(CHTMLWriter::DefaultPage({}), CrLf(expected));
}

TEST_F(HtmlPageTest, ValuesAtOrBelowTheInvalidLimitAreMissing) {
    Values one;
    one.values.resize(1);
    for (const float value : {-99990.0f, -100000.0f, -999999.0f}) {
        one.values[0]->m_value = value;
        EXPECT_NE(CHTMLWriter::DefaultPage(one.values)
                      .find("---- \xB0"
                            "C</font>"),
                  std::string::npos)
            << value;
    }
    one.values[0]->m_value = -99989.0f;
    EXPECT_NE(CHTMLWriter::DefaultPage(one.values).find("<strong>-99989.0 \xB0"),
              std::string::npos);
}

struct ConfiguredCase {
    const char* name;
    std::string config;    // HTML.ini
    std::string expected;  // the page after the head, before CR LF
    bool withValues = true;
};

std::ostream& operator<<(std::ostream& out, const ConfiguredCase& c) { return out << c.name; }

const std::string kDataStart = "<br><br>\n" + kDateLine + kTableHead;
const std::string kDataEnd = "</table>\n</div>\n";
const std::string kPageEnd = "</div>\n</html>\n";

const std::vector<ConfiguredCase> kConfiguredCases = {
    {"FullConfiguration",
     "[SectionLocation]\r\n"
     "Aktuelle Daten aus: Musterstadt\r\n"
     "Ort der Datenerfassung: Dach\r\n"
     "[SectionSensors]\r\n"
     "Temperatur\r\n"
     "Regenmenge\r\n"  // selects "Regen": the name stands inside the line
     "[SectionPicture]\r\n"
     "bilder/station.jpg\r\n"
     "[SectionText]\r\n"
     "ORB9 am See\r\n"
     "\r\n"
     "Luftfeuchte \xFC"
     "ber Wasser",  // free text selects nothing: the search ends at "[SectionText]"
     "Aktuelle Daten aus: Musterstadt<br>\n"
     "Ort der Datenerfassung: Dach<br>\n" +
         kDataStart + kTemperatureRow + kRainRow + kDataEnd + kIntro +
         "<img src=\"bilder/station.jpg\" alt=\"NORVIKA HTML Anzeige\">\n"
         "<br><br>\n"
         "ORB9 am See<br>\n"
         "<br>\n"
         "Luftfeuchte \xFC"
         "ber Wasser<br>\n" +
         kPageEnd},
    {"LocationLinesSelectSensorsToo",
     "[SectionLocation]\nWind aus Nord\n[SectionSensors]\n[SectionPicture]\n\n[SectionText]\n",
     "Wind aus Nord<br>\n" + kDataStart + kWindRow + kDataEnd + kIntro + "<br><br>\n" + kPageEnd},
    {"PictureOfThreeCharactersIsNoImage",
     "[SectionLocation]\r\n[SectionSensors]\r\nWind\r\n[SectionPicture]\r\na.j\r\n"
     "[SectionText]\r\nText",
     kDataStart + kWindRow + kDataEnd + kIntro + "<br><br>\nText<br>\n" + kPageEnd},
    {"EmptyLocationLineEndsTheSensorAndPictureSearch",
     "[SectionLocation]\r\nOrt\r\n\r\nHang\r\n[SectionSensors]\r\nTemperatur\r\n"
     "[SectionPicture]\r\nbild.jpg\r\n[SectionText]\r\nText\r\n",
     "Ort<br>\n<br>\nHang<br>\n" + kDataStart + kDataEnd + kIntro + kPageEnd},
    {"NoValuesGiveNoDateLineAndNoTableHead",
     "[SectionLocation]\r\nOrt\r\n[SectionSensors]\r\nTemperatur\r\n[SectionPicture]\r\n\r\n"
     "[SectionText]\r\nText\r\n",
     "Ort<br>\n" + kDataEnd + kIntro + "<br><br>\nText<br>\n" + kPageEnd, false},
    {"WithoutLocationMarkerThePageIsStillComplete", "Temperatur\r\n[SectionSensors]\r\n",
     kDataStart + kTemperatureRow + kDataEnd + kIntro + kPageEnd},
    {"WithoutPictureSectionNoPictureAndNoText",
     "[SectionLocation]\r\nOrt\r\n[SectionSensors]\r\nLuftfeuchte\r\n[SectionText]\r\nText\r\n",
     "Ort<br>\n" + kDataStart + kHumidityRow + kDataEnd + kIntro + kPageEnd},
    {"LocationLineSharingTheSensorsMarkerIsKept",
     "[SectionLocation]\r\nOrt\r\nDach[SectionSensors]\r\nLuftfeuchte\r\n[SectionPicture]\r\n\r\n"
     "[SectionText]\r\n",
     "Ort<br>\nDach<br>\n" + kDataStart + kHumidityRow + kDataEnd + kIntro + "<br><br>\n" +
         kPageEnd},
    // What a text-mode write of the strings leaves (the Windows dialog): CR CR LF.
    // Lines keep one CR, so "[SectionText]" is not recognised and its words select
    // sensors, and the empty picture line is a lone CR.
    {"FileWithCrCrLfReadsAsTheWindowsProgramReadIt",
     "[SectionLocation]\r\r\nOrt\r\r\n[SectionSensors]\r\r\nTemperatur\r\n"
     "[SectionPicture]\r\r\n\r\r\n[SectionText]\r\r\nWind\r\r\n",
     "Ort\r<br>\n" + kDataStart + kTemperatureRow + kWindRow + kDataEnd + kIntro +
         "<br><br>\nWind\r<br>\n" + kPageEnd},
};

class ConfiguredPageTest : public ::testing::TestWithParam<ConfiguredCase> {
protected:
    void SetUp() override { UseUtcZone(); }
};

TEST_P(ConfiguredPageTest, Bytes) {
    const ConfiguredCase& c = GetParam();
    Values station;
    if (!c.withValues) station.values.clear();
    EXPECT_EQ(CHTMLWriter::ConfiguredPage(c.config, station.values), CrLf(kHead + c.expected));
}

INSTANTIATE_TEST_SUITE_P(Layouts, ConfiguredPageTest, ::testing::ValuesIn(kConfiguredCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HtmlPageName, StorageIdentifierNamesThePage) {
    EXPECT_EQ(CHTMLWriter::PageFileName("/d/Daten", ""), "/d/Daten/AktWert.Html");
    EXPECT_EQ(CHTMLWriter::PageFileName("/d/Daten", "A"), "/d/Daten/AktWert.A.html");
}

// A person who answers OK, optionally doing something while the box is open.
class HookedUi final : public Ui {
public:
    MsgAnswer MessageBox(std::string_view text, std::string_view caption, MsgButtons,
                         MsgIcon) override {
        messages.push_back(std::string(caption) + ": " + std::string(text));
        // Taken out first: the hook runs once, and may show a box itself.
        if (whileShown) std::exchange(whileShown, nullptr)();
        return MsgAnswer::Ok;
    }
    void CautionBox(std::string_view) override {}
    void ShowBusy(std::string_view) override {}
    void HideBusy() override {}
    std::optional<std::uint32_t> ChooseColour(std::uint32_t) override { return std::nullopt; }
    std::optional<std::string> ChooseFile(std::string_view, std::string_view, bool) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseFolder(std::string_view, std::string_view) override {
        return std::nullopt;
    }

    std::vector<std::string> messages;
    std::function<void()> whileShown;
};

class WritePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseUtcZone();
        OutputList::Process().Clear();
    }

    bool Write() { return Write(pageFailure); }
    bool Write(FailureEpisode& failure) {
        return CHTMLWriter(files, paths, ui, initialising, failure).WritePage(station);
    }

    const std::string kConfigPath = "/prog/HTML.ini";
    const std::string kPagePath = "/station/Daten/AktWert.Html";
    FakeFileStore files;
    ProgramPaths paths{"/prog/wetter"};
    HookedUi ui;
    std::atomic<bool> initialising{false};
    FailureEpisode pageFailure;
    FakeStation station;
};

TEST_F(WritePageTest, WithoutHtmlIniTheDefaultPageReplacesTheOldOne) {
    files.files[kPagePath] = "old page";
    EXPECT_TRUE(Write());
    EXPECT_EQ(files.Read(kPagePath), CHTMLWriter::DefaultPage(station.Sensors().CurrentValues()));
    ASSERT_EQ(files.replaces.size(), 1u);
    EXPECT_TRUE(files.appends.empty());
    EXPECT_TRUE(OutputList::Process().Snapshot().empty());
}

TEST_F(WritePageTest, HtmlIniInTheProgramFolderConfiguresThePage) {
    const std::string config = "[SectionLocation]\r\nOrt\r\n[SectionSensors]\r\nWind\r\n";
    files.files[kConfigPath] = config;
    EXPECT_TRUE(Write());
    EXPECT_EQ(files.Read(kPagePath),
              CHTMLWriter::ConfiguredPage(config, station.Sensors().CurrentValues()));
}

TEST_F(WritePageTest, StorageIdentifierNamesThePageInTheDataFolder) {
    station.settings.storage.storageId = "A1";
    EXPECT_TRUE(Write());
    EXPECT_NE(files.Read("/station/Daten/AktWert.A1.html"), "<missing>");
    EXPECT_EQ(files.Read(kPagePath), "<missing>");
}

TEST_F(WritePageTest, NothingIsTouchedWhileTheInitialisationRuns) {
    files.files[kConfigPath] = "[SectionLocation]\r\n";
    files.files[kPagePath] = "old page";
    initialising = true;
    EXPECT_TRUE(Write());
    EXPECT_TRUE(files.replaces.empty());
    EXPECT_EQ(files.bytesRead[kConfigPath], 0u);
    EXPECT_EQ(files.Read(kPagePath), "old page");
}

TEST_F(WritePageTest, FailedReplaceKeepsTheOldPageAndReportsOnce) {
    files.files[kPagePath] = "old page";
    files.replaceError = ENOSPC;
    EXPECT_FALSE(Write());
    EXPECT_EQ(files.Read(kPagePath), "old page");
    const std::vector<tagOutpElm> expected = {
        {"HtmlWriter::OpenFile1", 0},
        {"No space left on device <==> NR: 28", 0x312F97},
    };
    EXPECT_EQ(OutputList::Process().Snapshot(), expected);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"wetter: No space left on device"});
}

TEST_F(WritePageTest, FailureIsReportedOnceUntilAPageIsWrittenAgain) {
    files.replaceError = ENOSPC;
    for (int record = 0; record < 3; ++record) EXPECT_FALSE(Write());
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(OutputList::Process().Count(), 2u);
    files.replaceError = 0;
    EXPECT_TRUE(Write());
    files.replaceError = EACCES;
    EXPECT_FALSE(Write());
    EXPECT_EQ(ui.messages.size(), 2u) << "news again after a page was written";
    EXPECT_EQ(OutputList::Process().Count(), 4u);
}

TEST_F(WritePageTest, NoSecondMessageWhileTheFirstIsOnScreen) {
    files.replaceError = EACCES;
    FailureEpisode otherStation;
    bool nestedResult = true;
    // The box is modal; another station's record is stored while it is open.
    ui.whileShown = [&] { nestedResult = Write(otherStation); };
    EXPECT_FALSE(Write());
    EXPECT_FALSE(nestedResult);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(OutputList::Process().Count(), 4u);  // both failures are in the output window
}

// The real file system: what a web server reading the page would see.
class WritePageOnDiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseUtcZone();
        OutputList::Process().Clear();
        std::filesystem::create_directory(home.File("Daten"));
        station.dataFolder = home.File("Daten");
    }

    bool Write() {
        return CHTMLWriter(PosixFileStore::Process(), paths, ui, initialising, pageFailure)
            .WritePage(station);
    }

    std::vector<std::string> DataFolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(home.File("Daten")))
            names.push_back(entry.path().filename().string());
        return names;
    }

    TempFolder home;
    ProgramPaths paths{home.File("wetter")};
    HookedUi ui;
    std::atomic<bool> initialising{false};
    FailureEpisode pageFailure;
    FakeStation station;
};

TEST_F(WritePageOnDiskTest, ReaderOfTheOldPageKeepsAWholePage) {
    const std::string oldPage(100000, 'x');
    home.Write("Daten/AktWert.Html", oldPage);
    std::ifstream reader(home.File("Daten/AktWert.Html"), std::ios::binary);
    ASSERT_TRUE(reader);

    ASSERT_TRUE(Write());

    std::ostringstream seen;
    seen << reader.rdbuf();
    EXPECT_EQ(seen.str(), oldPage);
    EXPECT_EQ(home.Read("Daten/AktWert.Html"),
              CHTMLWriter::DefaultPage(station.Sensors().CurrentValues()));
    EXPECT_EQ(DataFolderEntries(), std::vector<std::string>{"AktWert.Html"});
}

TEST_F(WritePageOnDiskTest, UnreadableHtmlIniKeepsTheOldPage) {
    home.Write("Daten/AktWert.Html", "old page");
    // Opens, but every read fails (EISDIR).
    std::filesystem::create_directory(home.File("HTML.ini"));
    EXPECT_FALSE(Write());
    EXPECT_EQ(home.Read("Daten/AktWert.Html"), "old page");
    const std::vector<tagOutpElm> expected = {
        {"HtmlWriter::OpenFile2", 0},
        {"Is a directory <==> NR: 21", 0x312F97},
        {"Is a directory", 0x00FF00},
    };
    EXPECT_EQ(OutputList::Process().Snapshot(), expected);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(WritePageOnDiskTest, MissingDataFolderIsReported) {
    station.dataFolder = home.File("gone");
    EXPECT_FALSE(Write());
    const std::vector<tagOutpElm> expected = {
        {"HtmlWriter::OpenFile1", 0},
        {"No such file or directory <==> NR: 2", 0x312F97},
    };
    EXPECT_EQ(OutputList::Process().Snapshot(), expected);
    EXPECT_EQ(ui.messages.size(), 1u);
}

}  // namespace
