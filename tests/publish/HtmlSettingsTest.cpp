#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "FakeFileStore.h"
#include "UtcTime.h"
#include "model/CSensoren.h"
#include "platform/ProgramPaths.h"
#include "publish/CHTMLWriter.h"
#include "publish/HtmlSettings.h"
#include "storage/CAktuell.h"

// Printed by the failures of the tables below.
std::ostream& operator<<(std::ostream& out, const HtmlSettings& s) {
    out << "location=[" << s.location << "] sensors=[";
    for (const auto& name : s.sensors) out << name << ";";
    return out << "] picture=[" << s.picture << "] text=[" << s.text << "]";
}

namespace {

const std::string kPath = "/prog/HTML.ini";

TEST(HtmlSettingsFile, LiesInTheProgramFolder) {
    EXPECT_EQ(HtmlSettingsPath(ProgramPaths("/opt/ws/wetter")), "/opt/ws/HTML.ini");
}

TEST(HtmlSettingsFile, BytesHaveEachMarkerOnALineOfItsOwn) {
    HtmlSettings settings;
    settings.location = "Aktuelle Daten aus:\r\nOrt: M\xFCnchen";  // no final line break
    settings.sensors = {"Temperatur", "", "Regen"};                // an empty name is left out
    settings.picture = "/srv/bild.jpg";
    settings.text = "Zeile 1\nZeile 2\r\n\r\nEnde";  // lone LF from a Qt text field
    EXPECT_EQ(HtmlSettingsBytes(settings),
              "[SectionLocation]\r\n"
              "Aktuelle Daten aus:\r\n"
              "Ort: M\xFCnchen\r\n"
              "[SectionSensors]\r\n"
              "Temperatur\r\n"
              "Regen\r\n"
              "[SectionPicture]\r\n"
              "/srv/bild.jpg\r\n"
              "[SectionText]\r\n"
              "Zeile 1\r\nZeile 2\r\n\r\nEnde");
}

TEST(HtmlSettingsFile, EmptySettingsStillWriteEveryMarker) {
    EXPECT_EQ(HtmlSettingsBytes({}),
              "[SectionLocation]\r\n[SectionSensors]\r\n[SectionPicture]\r\n\r\n[SectionText]\r\n");
}

struct ParseCase {
    const char* name;
    std::string bytes;
    HtmlSettings expected;
};

std::ostream& operator<<(std::ostream& out, const ParseCase& c) { return out << c.name; }

const std::vector<ParseCase> kParseCases = {
    {"OwnLayout",
     "[SectionLocation]\r\nA\r\n\r\r\nB\r\n[SectionSensors]\r\nTE\r\nRegen\r\n[SectionPicture]\r\n"
     "p.jpg\r\n[SectionText]\r\nx\r\n\r\ny",
     {"A\r\n\r\nB\r\n", {"TE", "Regen"}, "p.jpg", "x\r\n\r\ny\r\n"}},
    // Written through a text-mode stream, and the location without a final break.
    {"WindowsDialogFile",
     "[SectionLocation]\r\r\nA\r\r\nB\r[SectionSensors]\r\r\nTE\r\n[SectionPicture]\r\r\n\r\r\n"
     "[SectionText]\r\r\nfrei\r\r\n",
     {"A\r\nB\r\n", {"TE"}, "", "frei\r\n"}},
    {"LfOnlyAndSectionsInAnotherOrder",
     "[SectionText]\nfrei\n[SectionPicture]\nbild.jpg\n[SectionLocation]\nOrt\n",
     {"Ort\r\n", {}, "bild.jpg", "frei\r\n"}},
    {"NoMarkersAtAll", "just some text\r\n", {}},
    {"EmptyFile", "", {}},
};

class ParseHtmlSettingsTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseHtmlSettingsTest, Fields) {
    EXPECT_EQ(ParseHtmlSettings(GetParam().bytes), GetParam().expected);
}

TEST_P(ParseHtmlSettingsTest, SavingWhatWasReadChangesNothing) {
    const HtmlSettings read = ParseHtmlSettings(GetParam().bytes);
    EXPECT_EQ(ParseHtmlSettings(HtmlSettingsBytes(read)), read);
}

INSTANTIATE_TEST_SUITE_P(Files, ParseHtmlSettingsTest, ::testing::ValuesIn(kParseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HtmlSettingsFile, MissingFileGivesTheDialogDefaults) {
    FakeFileStore files;
    HtmlSettings settings;
    settings.picture = "left over";
    EXPECT_TRUE(LoadHtmlSettings(files, kPath, settings));
    EXPECT_EQ(settings.location,
              "Aktuelle Daten aus:\r\nAktualisierungsintervall:\r\nOrt der Datenerfassung:\n");
    EXPECT_EQ(settings.text,
              "ORB9\r\nWetterstation mit 7 Sensoren (inkl. Regenmenge und Globalstrahlung)\nund "
              "Datenlogger.");
    EXPECT_TRUE(settings.sensors.empty());
    EXPECT_TRUE(settings.picture.empty());
}

TEST(HtmlSettingsFile, SaveReplacesTheFileAtomicallyAndSynced) {
    FakeFileStore files;
    HtmlSettings settings;
    settings.sensors = {"TE"};
    EXPECT_TRUE(SaveHtmlSettings(files, kPath, settings));
    ASSERT_EQ(files.replaces.size(), 1u);
    EXPECT_TRUE(files.replaces[0].sync);
    HtmlSettings loaded;
    EXPECT_TRUE(LoadHtmlSettings(files, kPath, loaded));
    EXPECT_EQ(loaded, settings);

    files.replaceError = ENOSPC;
    settings.sensors = {"FE"};
    EXPECT_EQ(SaveHtmlSettings(files, kPath, settings).error, ENOSPC);
    EXPECT_EQ(files.Read(kPath), HtmlSettingsBytes(loaded));
}

// The page reads the saved file by its own rules: the defaults with an empty
// location line must still select the chosen sensors and show the picture.
TEST(HtmlSettingsFile, SavedFileGivesThePageItsSensorsAndPicture) {
    UseUtcZone();
    std::vector<std::unique_ptr<CSensoren>> sensors;
    CHTMLWriter::CurrentValues values;
    for (const char* name : {"Temperatur", "Luftfeuchte"}) {
        sensors.push_back(std::make_unique<CSensoren>());
        sensors.back()->m_name = name;
        values.push_back(std::make_unique<CAktuell>(name, sensors.back().get()));
        values.back()->m_value = 1.0f;
    }
    HtmlSettings settings = DefaultHtmlSettings();
    settings.location = "Ort\r\n\r\nDach";
    settings.sensors = {"Luftfeuchte"};
    settings.picture = "bild.jpg";
    const std::string page = CHTMLWriter::ConfiguredPage(HtmlSettingsBytes(settings), values);
    EXPECT_EQ(page.find("<strong>Temperatur</strong>"), std::string::npos);
    EXPECT_NE(page.find("<strong>Luftfeuchte</strong>"), std::string::npos);
    EXPECT_NE(page.find("<img src=\"bild.jpg\""), std::string::npos);
    EXPECT_NE(page.find("und Datenlogger.<br>\r\n"), std::string::npos);
}

// The page selects by sensor name; offering identifiers would make every choice select nothing.
TEST(HtmlSensorChoice, OffersEachNamedSensorOnceAndNeverInBothLists) {
    std::vector<std::unique_ptr<CSensoren>> sensors;
    CHTMLWriter::CurrentValues values;
    for (const auto& [identifier, name] :
         std::vector<std::pair<const char*, const char*>>{{"TE", "Temperatur"},
                                                          {"FE", "Luftfeuchte"},
                                                          {"X1", ""},
                                                          {"T2", "Temperatur"},
                                                          {"RE", "Regen"}}) {
        sensors.push_back(std::make_unique<CSensoren>());
        sensors.back()->m_name = name;
        values.push_back(std::make_unique<CAktuell>(identifier, sensors.back().get()));
    }
    values.push_back(std::make_unique<CAktuell>("ND", nullptr));  // no definition

    const std::vector<std::string> offered = HtmlSensorNames(values);
    EXPECT_EQ(offered, (std::vector<std::string>{"Temperatur", "Luftfeuchte", "Regen"}));
    // A chosen name of a sensor the station no longer has stays chosen only.
    EXPECT_EQ(AvailableHtmlSensors(offered, {"Regen", "Wind", "Temperatur"}),
              std::vector<std::string>{"Luftfeuchte"});
    EXPECT_EQ(AvailableHtmlSensors(offered, {}), offered);
}

TEST(HtmlIniLines, TextModeReadingDropsOneCrBeforeLf) {
    const std::vector<std::string_view> expected = {"a", "b\r", "", "c\rd", "e"};
    EXPECT_EQ(HtmlIniLines("a\r\nb\r\r\n\nc\rd\ne"), expected);
    EXPECT_EQ(HtmlIniLines("a\n"), std::vector<std::string_view>{"a"});
    EXPECT_TRUE(HtmlIniLines("").empty());
}

}  // namespace
