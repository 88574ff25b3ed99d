#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "model/CSensoren.h"
#include "platform/IniProfile.h"
#include "platform/ProgramPaths.h"
#include "publish/AwekasSettings.h"
#include "storage/SensorSet.h"

namespace {

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return 0xFFFF;
    return st.st_mode & 07777;
}

AwekasSettings Filled() {
    AwekasSettings settings;
    settings.password = "geheim";
    settings.user = "wetterfrosch";
    settings.proxyOn = true;
    settings.proxyPort = 8080;
    settings.proxyAddress = "proxy.lan";
    settings.proxyPassword = "pp";
    settings.proxyUser = "pu";
    settings.sensors = {"TE", "FE", "DR", "RE",  "WG", "WR", "WS",
                        "SO", "UV", "",   "SOH", "BT", "RR"};
    settings.active = false;
    return settings;
}

class AwekasSettingsTest : public ::testing::Test {
protected:
    std::string Load(const std::string& body) {
        folder.Write("awekas.ini", "[Awekas]\r\n" + body);
        loaded = LoadAwekasSettings(profile, file);
        return file;
    }

    TempFolder folder;
    IniProfile profile;
    std::string file = folder.File("awekas.ini");
    AwekasSettings loaded;
};

TEST_F(AwekasSettingsTest, FileLiesInTheProgramFolder) {
    EXPECT_EQ(AwekasSettingsPath(ProgramPaths("/opt/ws.d/wetter.bin")), "/opt/ws.d/awekas.ini");
}

TEST_F(AwekasSettingsTest, MissingFileLeavesEverySettingEmptyAndOff) {
    const AwekasSettings settings = LoadAwekasSettings(profile, folder.File("none.ini"));
    EXPECT_EQ(settings, AwekasSettings{});
    EXPECT_EQ(settings.softwareFlag, "KAVO_3.36");
    EXPECT_FALSE(settings.active);
    EXPECT_EQ(settings.proxyPort, 0u);
}

TEST_F(AwekasSettingsTest, EveryKeyIsReadIntoItsField) {
    Load(
        "SensTE=TE\r\nSensFE=FE\r\nSensDR=DR\r\nSensRE=RE\r\nSensWG=WG\r\nSensWR=WR\r\n"
        "SensWS=WS\r\nSensSO=SO\r\nSensUVI=UV\r\nSensHELL=\r\nSensSOH=SOH\r\nSensGrndTE=BT\r\n"
        "SensRDH=RR\r\nProxy=TRUE\r\nAktiv=FALSE\r\nProxyAddr=proxy.lan\r\nProxyPort=8080\r\n"
        "ProxyUser=pu\r\nProxyPasswort=pp\r\nUser=wetterfrosch\r\nPasswort=geheim\r\n");
    EXPECT_EQ(loaded, Filled());
}

TEST_F(AwekasSettingsTest, SwitchesAreOnOnlyForTheTextTRUE) {
    struct Row {
        const char* value;
        bool on;
    };
    // The profile trims blanks and one pair of quotes before the comparison.
    for (const Row& row : std::vector<Row>{{"TRUE", true},
                                           {" TRUE ", true},
                                           {"\"TRUE\"", true},
                                           {"true", false},
                                           {"True", false},
                                           {"1", false},
                                           {"TRUEX", false},
                                           {"", false}}) {
        Load(std::string("Aktiv=") + row.value + "\r\nProxy=" + row.value + "\r\n");
        EXPECT_EQ(loaded.active, row.on) << row.value;
        EXPECT_EQ(loaded.proxyOn, row.on) << row.value;
    }
}

TEST_F(AwekasSettingsTest, ProxyPortIsTheLeadingNumberOfItsText) {
    struct Row {
        const char* value;
        unsigned port;
    };
    for (const Row& row : std::vector<Row>{{"8080", 8080u},
                                           {"", 0u},
                                           {"abc", 0u},
                                           {"3128x", 3128u},
                                           {" +80", 80u},
                                           {"-1", 4294967295u}}) {
        Load(std::string("ProxyPort=") + row.value + "\r\n");
        EXPECT_EQ(loaded.proxyPort, row.port) << row.value;
    }
}

TEST_F(AwekasSettingsTest, TextsAreCutAt256Characters) {
    const std::string longText(300, 'u');
    Load("User=" + longText + "\r\nSensTE=" + longText + "\r\n");
    EXPECT_EQ(loaded.user, longText.substr(0, 256));
    EXPECT_EQ(loaded.Sensor(AwekasSensor::kTemperature), longText.substr(0, 256));
}

TEST_F(AwekasSettingsTest, SaveWritesEveryKeyInTheDialogsOrderOwnerOnly) {
    ASSERT_TRUE(SaveAwekasSettings(profile, file, Filled()));
    EXPECT_EQ(folder.Read("awekas.ini"),
              "[Awekas]\r\n"
              "SensTE=TE\r\nSensFE=FE\r\nSensDR=DR\r\nSensRE=RE\r\nSensWG=WG\r\nSensWR=WR\r\n"
              "SensWS=WS\r\nSensSO=SO\r\nSensUVI=UV\r\nSensHELL=\r\nSensSOH=SOH\r\n"
              "SensGrndTE=BT\r\nSensRDH=RR\r\n"
              "Proxy=TRUE\r\nAktiv=FALSE\r\nProxyAddr=proxy.lan\r\nProxyPort=8080\r\n"
              "ProxyUser=pu\r\nProxyPasswort=pp\r\nUser=wetterfrosch\r\nPasswort=geheim\r\n");
    EXPECT_EQ(ModeOf(file), 0600u);
    EXPECT_EQ(LoadAwekasSettings(profile, file), Filled());
}

// The profile drops blanks and one pair of quotes at a value's ends; a text
// that has them, typed or read so, must still come back as it was saved.
TEST_F(AwekasSettingsTest, TextsWithOuterBlanksOrQuotesReadBackAsSaved) {
    for (const char* text : {"\" a \"", " a ", "'pw'", "\"\"", "x\"", "\v"}) {
        AwekasSettings settings = Filled();
        settings.password = text;
        settings.user = text;
        settings.Sensor(AwekasSensor::kRainRate) = text;
        ASSERT_TRUE(SaveAwekasSettings(profile, file, settings));
        EXPECT_EQ(LoadAwekasSettings(profile, file), settings) << text;
    }
}

TEST_F(AwekasSettingsTest, SavingAnOpenFileKeepsItsOtherLinesAndClosesItToOthers) {
    folder.Write("awekas.ini", "; from the old PC\r\n[Awekas]\r\nPasswort=alt\r\nExtra=1\r\n");
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);

    AwekasSettings settings = Filled();
    settings.active = true;
    settings.proxyPort = 4294967295u;
    ASSERT_TRUE(SaveAwekasSettings(profile, file, settings));

    const std::string bytes = folder.Read("awekas.ini");
    EXPECT_EQ(
        bytes.rfind("; from the old PC\r\n[Awekas]\r\nPasswort=geheim\r\nExtra=1\r\nSensTE=TE\r\n",
                    0),
        0u)
        << bytes;
    EXPECT_NE(bytes.find("Aktiv=TRUE\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("ProxyPort=4294967295\r\n"), std::string::npos);
    EXPECT_EQ(ModeOf(file), 0600u);
    EXPECT_EQ(LoadAwekasSettings(profile, file), settings);
}

TEST_F(AwekasSettingsTest, SaveIntoAMissingFolderFailsAndCreatesNothing) {
    const std::string nowhere = folder.File("gone/awekas.ini");
    EXPECT_FALSE(SaveAwekasSettings(profile, nowhere, Filled()));
    EXPECT_EQ(folder.Read("gone/awekas.ini"), "<missing>");
}

TEST(AwekasDialogTest, ActivateSwitchesTheUploadFieldsAndProxyTheProxyFields) {
    for (const bool active : {false, true})
        for (const bool proxy : {false, true})
            EXPECT_EQ(AwekasDialogFieldsEnabled(active, proxy),
                      (AwekasDialogEnabling{.uploadFields = active, .proxyFields = proxy}));
}

TEST(AwekasDialogTest, OkTakesTheFieldsAndKeepsAssignmentsOfBoxesWithoutSelection) {
    AwekasSettings settings = Filled();
    AwekasDialogFields fields;
    fields.active = true;
    fields.user = "neu";
    fields.password = "pw";
    fields.proxyOn = false;
    fields.proxyAddress = "other.lan";
    fields.proxyPort = 3128;
    fields.proxyUser = "squid";
    fields.proxyPassword = "geheim";
    fields.sensors[static_cast<std::size_t>(AwekasSensor::kTemperature)] = "T2";
    fields.sensors[static_cast<std::size_t>(AwekasSensor::kLightIntensity)] = "LX";

    ApplyAwekasDialog(fields, settings);

    AwekasSettings expected = Filled();
    expected.active = true;
    expected.user = "neu";
    expected.password = "pw";
    expected.proxyOn = false;
    expected.proxyAddress = "other.lan";
    expected.proxyPort = 3128;
    expected.proxyUser = "squid";
    expected.proxyPassword = "geheim";
    expected.Sensor(AwekasSensor::kTemperature) = "T2";
    expected.Sensor(AwekasSensor::kLightIntensity) = "LX";
    EXPECT_EQ(settings, expected);
}

TEST(AwekasDialogTest, BoxesListEveryCurrentValueAndSelectTheAssignedIdentifier) {
    IniProfile profile;
    SensorSet sensors;
    sensors.Load(profile, "/nonexistent/define.ini", "/nonexistent/intern.ini", {"TE", "te", "FE"});
    sensors.Sensors()[0]->m_name = "Temperatur";
    sensors.Sensors()[1]->m_name = "Temperatur innen";
    sensors.Sensors()[2]->m_name = "Feuchte";

    const std::vector<AwekasSensorChoice> choices = AwekasSensorChoices(sensors);
    EXPECT_EQ(choices, (std::vector<AwekasSensorChoice>{
                           {"Temperatur", "TE"}, {"Temperatur innen", "te"}, {"Feuchte", "FE"}}));
    EXPECT_EQ(AwekasSelectedChoice(choices, "te"), 1u);
    EXPECT_EQ(AwekasSelectedChoice(choices, "FE"), 2u);
    EXPECT_EQ(AwekasSelectedChoice(choices, "Fe"), std::nullopt);
    EXPECT_EQ(AwekasSelectedChoice(choices, ""), std::nullopt);
}

}  // namespace
