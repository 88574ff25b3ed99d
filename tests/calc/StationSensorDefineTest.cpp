#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "calc/StationSensorDefine.h"
#include "model/CSensoren.h"
#include "model/SensorFiles.h"
#include "platform/IniProfile.h"

namespace {

// An input that passes every check.
StationSensorInput Valid() {
    StationSensorInput in;
    in.identifier = "WG";
    in.name = "Wind 10 m";
    in.unit = "km/h";
    in.unitGroup = "Wind";
    in.factor = "1.000000";
    in.offset = "0.000000";
    in.lowerLimit = "0";
    in.upperLimit = "250";
    in.decimals = 1;
    in.minScale = "0";
    in.maxScale = "100";
    in.colour = 0x00FF00;
    in.activityThreshold = "0";
    return in;
}

struct ValidationRow {
    const char* name;
    std::function<void(StationSensorInput&)> change;
    std::optional<std::string_view> message;
};

std::ostream& operator<<(std::ostream& out, const ValidationRow& row) { return out << row.name; }

using D = StationSensorDefine;
const ValidationRow kValidationRows[] = {
    {"Valid", [](StationSensorInput&) {}, std::nullopt},
    // Each failure comes before the ones after it, whatever else is wrong.
    {"EmptyNameFirst",
     [](StationSensorInput& in) {
         in.name.clear();
         in.unit.clear();
         in.lowerLimit = "60";
     },
     D::kMissingName},
    {"NameWithComma", [](StationSensorInput& in) { in.name = "Wind, oben"; }, D::kNameNotAllowed},
    {"NameWithEquals", [](StationSensorInput& in) { in.name = "a=b"; }, D::kNameNotAllowed},
    {"NameWithBracket", [](StationSensorInput& in) { in.name = "[TE]"; }, D::kNameNotAllowed},
    {"NameWithLineEnd", [](StationSensorInput& in) { in.name = "Wind\r\nName=x"; },
     D::kNameNotAllowed},
    {"NameBeginsWithBlank", [](StationSensorInput& in) { in.name = " Wind"; },
     "Sensorname begins or ends with a blank!"},
    {"NameEndsWithBlank", [](StationSensorInput& in) { in.name = "Wind "; },
     "Sensorname begins or ends with a blank!"},
    {"BlankInsideNameIsKept", [](StationSensorInput& in) { in.name = "Wind 10 m"; }, std::nullopt},
    {"EmptyUnitBeforeLimits",
     [](StationSensorInput& in) {
         in.unit.clear();
         in.lowerLimit = "60";
         in.upperLimit = "-75";
     },
     D::kUnitMissing},
    {"UnitWithComma", [](StationSensorInput& in) { in.unit = "m,s"; }, D::kUnitNotAllowed},
    {"UnitLongerThanTheFileKeeps", [](StationSensorInput& in) { in.unit = "0123456789"; },
     D::kUnitTooLong},
    {"LowerAboveUpper",
     [](StationSensorInput& in) {
         in.lowerLimit = "60";
         in.upperLimit = "-75";
         in.considerMinScale = in.considerMaxScale = true;
         in.minScale = "50";
     },
     D::kCheckLimits},
    {"EqualLimits", [](StationSensorInput& in) { in.lowerLimit = in.upperLimit = "5"; },
     D::kCheckLimits},
    {"LimitNoNumber", [](StationSensorInput& in) { in.lowerLimit = "abc"; }, D::kCheckLimits},
    {"LimitEmpty", [](StationSensorInput& in) { in.upperLimit.clear(); }, D::kCheckLimits},
    {"LimitWithDecimalComma", [](StationSensorInput& in) { in.upperLimit = "99,5"; },
     D::kCheckLimits},
    {"LimitLongerThanTheFileKeeps", [](StationSensorInput& in) { in.upperLimit = "1000000000"; },
     D::kCheckLimits},
    {"NegativeDecimalLimits",
     [](StationSensorInput& in) {
         in.lowerLimit = "-40.5";
         in.upperLimit = "-.5";
     },
     std::nullopt},
    {"ScalesComparedAsWholeNumbers",
     [](StationSensorInput& in) {
         in.considerMinScale = in.considerMaxScale = true;
         in.minScale = "10.9";
         in.maxScale = "10.1";
     },
     D::kScalesNotCorrect},
    {"ScalesCheckedOnlyWithBothBoxes",
     [](StationSensorInput& in) {
         in.considerMinScale = true;
         in.minScale = "50";
         in.maxScale = "10";
     },
     std::nullopt},
};

class StationSensorValidation : public ::testing::TestWithParam<ValidationRow> {};

TEST_P(StationSensorValidation, StopsAtTheFirstFailure) {
    StationSensorInput in = Valid();
    GetParam().change(in);
    const std::optional<std::string> message = D::Validate(in);
    if (GetParam().message)
        EXPECT_EQ(message, std::string(*GetParam().message));
    else
        EXPECT_EQ(message, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Rows, StationSensorValidation, ::testing::ValuesIn(kValidationRows),
                         [](const auto& info) { return std::string(info.param.name); });

struct ChangeRow {
    const char* name;
    std::function<void(StationSensorInput&)> change;
    bool affects;
};

std::ostream& operator<<(std::ostream& out, const ChangeRow& row) { return out << row.name; }

const ChangeRow kChangeRows[] = {
    {"Name", [](StationSensorInput& in) { in.name = "Boe"; }, false},
    {"Colour", [](StationSensorInput& in) { in.colour = 1; }, false},
    {"ChartKind", [](StationSensorInput& in) { in.diagramType = 1; }, false},
    {"Digits", [](StationSensorInput& in) { in.decimals = 3; }, false},
    {"Limits", [](StationSensorInput& in) { in.upperLimit = "200"; }, false},
    {"Unit",
     [](StationSensorInput& in) {
         in.unit = "m/s";
         in.factor = "0.277778";
     },
     true},
    {"Beaufort", [](StationSensorInput& in) { in.beaufort = true; }, true},
    {"Scale", [](StationSensorInput& in) { in.maxScale = "120"; }, true},
    {"ConsiderScale", [](StationSensorInput& in) { in.considerMinScale = true; }, true},
    {"StatisticsOption", [](StationSensorInput& in) { in.showSum = true; }, true},
    {"ActivityThreshold", [](StationSensorInput& in) { in.activityThreshold = "2"; }, true},
    {"TendencyTimeBase", [](StationSensorInput& in) { in.tendencyTimeBase = 600; }, true},
};

class StationSensorChange : public ::testing::TestWithParam<ChangeRow> {};

TEST_P(StationSensorChange, AffectsStatisticsOrDiagramOnlyForUnitScalesAndStatistics) {
    StationSensorInput after = Valid();
    GetParam().change(after);
    EXPECT_EQ(D::AffectsStatisticsOrDiagram(Valid(), after), GetParam().affects);
}

INSTANTIATE_TEST_SUITE_P(Rows, StationSensorChange, ::testing::ValuesIn(kChangeRows),
                         [](const auto& info) { return std::string(info.param.name); });

class StationSensorFileTest : public ::testing::Test {
protected:
    std::string File() const { return m_folder.File("wetterdefine.ini"); }

    TempFolder m_folder;
    IniProfile m_profile;
    StationSensorDefine m_define{m_profile, File()};
};

TEST_F(StationSensorFileTest, StoreWritesEveryKeyInItsOrder) {
    StationSensorInput in = Valid();
    in.beaufort = true;
    in.unit = "Beaufort";
    in.showSum = true;
    in.sumMode = 1;
    in.activityThreshold = "0.5";
    in.considerMinScale = in.considerMaxScale = true;
    in.scalingRange = 1;
    in.windRoseEnabled = true;
    in.windRose = WindRoseSettings{.enabled = true, .sensor1 = "WR", .sensor2 = "", .sensor3 = "WG"};
    ASSERT_TRUE(m_define.Store(in));
    EXPECT_EQ(m_folder.Read("wetterdefine.ini"),
              "[WG]\r\nNachKomma=1\r\nWindrose=Enabled\r\nWindroseSensor1=WR\r\n"
              "WindroseSensor2=\r\nWindroseSensor3=WG\r\nSens1Ausblenden=Disabled\r\n"
              "Name=Wind 10 m\r\nUnit=Beaufort\r\nUnitGroup=Wind\r\nFaktor=1.000000\r\n"
              "Offset=0.000000\r\nUntergrenze Wert=0\r\nObergrenze Wert=250\r\nFarbe=65280\r\n"
              "Min Skalierung=0\r\nMax Skalierung=100\r\nAnzeige Aktivitaet=nein\r\n"
              "Aktivitaet Auswahl=0\r\nAktivitaet Wert=0.5\r\nAnzeige Durchschnitt=nein\r\n"
              "Anzeige Minimum=nein\r\nAnzeige Maximum=nein\r\nAnzeige Summe=ja\r\n"
              "Auswahl Summe=1\r\nAnzeige Tendenz=nein\r\nAuswahl Tendenz=1\r\n"
              "Zeitbasis Tendenz=300\r\nAnzeige Min-Skalierung=ja\r\nAnzeige Max-Skalierung=ja\r\n"
              "Diagrammart=0\r\nSkalierungsbereich=1\r\nBeaufort=ja\r\n");
}

TEST_F(StationSensorFileTest, WhatIsStoredLoadsAsTheRecordTakesItOver) {
    StationSensorInput in = Valid();
    in.offset = "-3.5";
    in.showTendency = true;
    in.tendencyMode = 0;
    in.windRoseEnabled = true;
    ASSERT_TRUE(m_define.Store(in));
    CSensoren taken;
    taken.m_identifier = "WG";
    StationSensorDefine::ApplyTo(in, taken);
    const auto loaded = ReadMeasuredSensor(m_profile, File(), "WG");
    EXPECT_EQ(taken.m_name, loaded->m_name);
    EXPECT_EQ(taken.m_offset, loaded->m_offset);
    EXPECT_EQ(taken.m_upperLimit, loaded->m_upperLimit);
    EXPECT_EQ(taken.m_maxScale, loaded->m_maxScale);
    EXPECT_EQ(taken.m_showTendency, loaded->m_showTendency);
    EXPECT_EQ(taken.m_tendencyMode, loaded->m_tendencyMode);
    EXPECT_EQ(taken.m_windRose.enabled, loaded->m_windRose.enabled);
    // And the dialog opens again with what was entered.
    EXPECT_EQ(m_define.InputFrom(*loaded), in);
}

TEST_F(StationSensorFileTest, ANameWithTheDigitZeroOpensAsItIs) {
    m_folder.Write("wetterdefine.ini", "[WG]\r\nName=0\r\nUnit=m\r\n");
    const auto loaded = ReadMeasuredSensor(m_profile, File(), "WG");
    const StationSensorInput in = m_define.InputFrom(*loaded);
    EXPECT_EQ(in.name, "0");
    // A section without "Faktor" opens with the default text, which keeps the factor 0.
    EXPECT_EQ(in.factor, "*1");
}

TEST_F(StationSensorFileTest, AReadOnlyFileIsLeftAsItWas) {
    const std::string before = "[WG]\r\nName=Wind\r\nUnit=km/h\r\n";
    m_folder.Write("wetterdefine.ini", before);
    std::filesystem::permissions(File(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_FALSE(m_define.Store(Valid()));
    EXPECT_EQ(m_folder.Read("wetterdefine.ini"), before);
    std::filesystem::permissions(File(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

}  // namespace
