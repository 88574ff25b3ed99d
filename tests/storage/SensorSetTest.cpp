#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "model/CSensoren.h"
#include "platform/IniProfile.h"
#include "storage/CAktuell.h"
#include "storage/SensorSet.h"

namespace {

class SensorSetTest : public ::testing::Test {
protected:
    void Load(const std::string& define, const std::string& intern,
              const std::vector<std::string>& identifiers) {
        m_folder.Write("wetterdefine.ini", define);
        m_folder.Write("wetterintern.ini", intern);
        m_sensors.Load(m_profile, m_folder.File("wetterdefine.ini"),
                       m_folder.File("wetterintern.ini"), identifiers);
    }

    // Loads one sensor "XX" with `key`=`value`, measured or virtual; null when it was not loaded.
    const CSensoren* LoadOne(bool isVirtual, const char* key, const std::string& value) {
        const std::string section = std::string("[XX]\r\n") + key + "=" + value + "\r\n";
        if (isVirtual)
            Load("", "[Interne Sensoren]\r\niKennung=XX,\r\n" + section, {});
        else
            Load(section, "", {"XX"});
        return m_sensors.FindSensor("XX");
    }

    std::vector<std::string> SensorIdentifiers() const {
        std::vector<std::string> ids;
        for (const auto& sensor : m_sensors.Sensors()) ids.push_back(sensor->m_identifier);
        return ids;
    }

    // Every current value must belong to the sensor at the same place.
    void ExpectListsPaired() const {
        const auto& sensors = m_sensors.Sensors();
        const auto& values = m_sensors.CurrentValues();
        ASSERT_EQ(sensors.size(), values.size());
        for (std::size_t i = 0; i < sensors.size(); ++i) {
            EXPECT_EQ(values[i]->m_sensor, sensors[i].get()) << "at " << i;
            EXPECT_EQ(values[i]->m_identifier, sensors[i]->m_identifier) << "at " << i;
        }
    }

    TempFolder m_folder;
    IniProfile m_profile;
    SensorSet m_sensors;
};

struct IdentifierListCase {
    const char* name;
    const char* iKennung;
    std::vector<std::string> expected;
};

void PrintTo(const IdentifierListCase& c, std::ostream* os) { *os << c.name; }

class VirtualIdentifierList : public SensorSetTest,
                              public ::testing::WithParamInterface<IdentifierListCase> {};

TEST_P(VirtualIdentifierList, EveryCommaEndsOneIdentifier) {
    Load("", std::string("[Interne Sensoren]\r\niKennung=") + GetParam().iKennung + "\r\n", {});
    EXPECT_EQ(SensorIdentifiers(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VirtualIdentifierList,
    ::testing::Values(IdentifierListCase{"FinalComma", "TP,WC,", {"TP", "WC"}},
                      IdentifierListCase{"LastWithoutCommaDropped", "TP,WC", {"TP"}},
                      IdentifierListCase{"Empty", "", {}},
                      IdentifierListCase{"NoCommaAtAll", "TP", {}},
                      IdentifierListCase{"EmptyBetweenCommasKept", "TP,,WC,", {"TP", "", "WC"}},
                      IdentifierListCase{"LeadingComma", ",TP,", {"", "TP"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SensorSetTest, VirtualIdentifierListIsCutAt999Characters) {
    std::string list;
    for (int i = 0; i < 499; ++i) list += "A,";
    list += "BC,";  // characters 999 to 1001: only "B" is read, and it has no comma

    Load("", "[Interne Sensoren]\r\niKennung=" + list + "\r\n", {});

    EXPECT_EQ(m_sensors.Sensors().size(), 499u);
    EXPECT_EQ(m_sensors.FindSensor("B"), nullptr);
}

TEST_F(SensorSetTest, MeasuredSensorsComeFirstThenVirtualInListOrder) {
    Load("[TE]\r\nName=Temperatur\r\n",
         "[Interne Sensoren]\r\niKennung=WC,TP,\r\n[TP]\r\nFormel=TE-2\r\n", {"TE", "FE"});

    EXPECT_EQ(SensorIdentifiers(), (std::vector<std::string>{"TE", "FE", "WC", "TP"}));
    ExpectListsPaired();
    const auto& sensors = m_sensors.Sensors();
    EXPECT_FALSE(sensors[0]->m_virtual);
    EXPECT_FALSE(sensors[1]->m_virtual);
    EXPECT_TRUE(sensors[2]->m_virtual);
    EXPECT_TRUE(sensors[3]->m_virtual);
    EXPECT_EQ(sensors[3]->m_formula, "TE-2");
}

TEST_F(SensorSetTest, GapLineHoldsMeasuredSensorsOnlyAndIsNotDoubledByReloading) {
    const std::string intern = "[Interne Sensoren]\r\niKennung=TP,\r\n";
    Load("", intern, {"TE", "FE"});
    EXPECT_EQ(m_sensors.GapLine(), "TE-99999,FE-99999,");

    Load("", intern, {"TE", "FE"});
    EXPECT_EQ(m_sensors.GapLine(), "TE-99999,FE-99999,");
    EXPECT_EQ(SensorIdentifiers(), (std::vector<std::string>{"TE", "FE", "TP"}));
    ExpectListsPaired();
}

TEST_F(SensorSetTest, MeasuredSensorWithoutSectionGetsDefaults) {
    Load("[FE]\r\nName=Feuchte\r\n", "", {"TE"});

    const CSensoren* te = m_sensors.FindSensor("TE");
    ASSERT_NE(te, nullptr);
    EXPECT_EQ(te->m_name, "");
    EXPECT_EQ(te->m_unit, "");
    EXPECT_EQ(te->m_lowerLimit, 0.0f);
    EXPECT_EQ(te->m_upperLimit, 0.0f);
    EXPECT_EQ(te->m_factor, 0.0f);
    EXPECT_EQ(te->m_offset, 0.0f);
    EXPECT_EQ(te->m_decimals, 2);
    EXPECT_EQ(te->m_tendencyMode, 1);
    EXPECT_EQ(te->m_tendencyTimeBase, 300);
    EXPECT_FALSE(te->m_showSum);
    EXPECT_FALSE(te->m_virtual);
    EXPECT_FALSE(te->m_hourlySum);
    EXPECT_EQ(te->m_sumHour, nullptr);
}

TEST_F(SensorSetTest, MissingFaktorGivesZeroFactorEvenWithOffset) {
    Load("[TE]\r\nName=Temperatur\r\nOffset=3.5\r\n", "", {"TE"});

    const CSensoren* te = m_sensors.FindSensor("TE");
    ASSERT_NE(te, nullptr);
    EXPECT_EQ(te->m_factor, 0.0f);
    EXPECT_EQ(te->m_offset, 3.5f);
}

TEST_F(SensorSetTest, MeasuredSensorTakesEveryKeyToItsField) {
    Load(
        "[TE]\r\n"
        "Name=Temperatur\r\nUnit=C\r\nFaktor=1.8\r\nOffset=32\r\nFarbe=255\r\n"
        "Untergrenze Wert=-40\r\nObergrenze Wert=60.5\r\n"
        "Min Skalierung=-10\r\nMax Skalierung=40\r\n"
        "Anzeige Tendenz=ja\r\nZeitbasis Tendenz=600\r\nAuswahl Tendenz=0\r\n"
        "Anzeige Summe=ja\r\nAuswahl Summe=2\r\n"
        "Anzeige Aktivitaet=ja\r\nAktivitaet Auswahl=1\r\nAktivitaet Wert=0.25\r\n"
        "Anzeige Min-Skalierung=ja\r\nAnzeige Max-Skalierung=nein\r\n"
        "Anzeige Durchschnitt=ja\r\nAnzeige Maximum=nein\r\nAnzeige Minimum=ja\r\n"
        "Diagrammart=1\r\nSkalierungsbereich=1\r\nBeaufort=ja\r\nNachKomma=1\r\n"
        // Limit formats and formulas belong to virtual sensors only.
        "Untergrenze Format=1\r\nFormel=TE*2\r\nSumme Stunde=ja\r\n",
        "", {"TE"});

    const CSensoren* te = m_sensors.FindSensor("TE");
    ASSERT_NE(te, nullptr);
    EXPECT_EQ(te->m_identifier, "TE");
    EXPECT_EQ(te->m_name, "Temperatur");
    EXPECT_EQ(te->m_unit, "C");
    EXPECT_EQ(te->m_factor, 1.8f);
    EXPECT_EQ(te->m_offset, 32.0f);
    EXPECT_EQ(te->m_colour, 255u);
    EXPECT_EQ(te->m_lowerLimit, -40.0f);
    EXPECT_EQ(te->m_upperLimit, 60.5f);
    EXPECT_EQ(te->m_minScale, -10);
    EXPECT_EQ(te->m_maxScale, 40);
    EXPECT_TRUE(te->m_showTendency);
    EXPECT_EQ(te->m_tendencyTimeBase, 600);
    EXPECT_EQ(te->m_tendencyMode, 0);
    EXPECT_TRUE(te->m_showSum);
    EXPECT_EQ(te->m_sumMode, 2);
    EXPECT_TRUE(te->m_showActivity);
    EXPECT_EQ(te->m_activityMode, 1);
    EXPECT_EQ(te->m_activityThreshold, 0.25f);
    EXPECT_TRUE(te->m_showMinScale);
    EXPECT_FALSE(te->m_showMaxScale);
    EXPECT_TRUE(te->m_showMean);
    EXPECT_FALSE(te->m_showMaximum);
    EXPECT_TRUE(te->m_showMinimum);
    EXPECT_EQ(te->m_diagramType, 1);
    EXPECT_EQ(te->m_scalingRange, 1);
    EXPECT_TRUE(te->m_beaufort);
    EXPECT_EQ(te->m_decimals, 1);
    EXPECT_FALSE(te->m_virtual);
    EXPECT_EQ(te->m_lowerLimitFormat, 0);
    EXPECT_EQ(te->m_lowerLimitText, "");
    EXPECT_EQ(te->m_formula, "");
    EXPECT_FALSE(te->m_hourlySum);
    EXPECT_EQ(te->m_sumHour, nullptr);
}

TEST_F(SensorSetTest, VirtualSensorTakesEveryKeyToItsFieldAndItsCurrentValueCopiesThem) {
    Load("",
         "[Interne Sensoren]\r\niKennung=TP,\r\n"
         "[TP]\r\n"
         "Name=Taupunkt\r\nUnit=C\r\nFaktor=1\r\nOffset=0.5\r\nFarbe=65280\r\n"
         "Untergrenze Wert=TE\r\nUntergrenze Format=1\r\n"
         "Unterschreitwert=-5\r\nUnterschreit Format=1\r\n"
         "Obergrenze Wert=45.5\r\nObergrenze Format=0\r\n"
         "Ueberschreitwert=FE\r\nUeberschreit Format=2\r\n"
         "Min Skalierung=-20\r\nMax Skalierung=30\r\n"
         "Anzeige Tendenz=ja\r\nZeitbasis Tendenz=900\r\n"
         "Anzeige Summe=ja\r\nAuswahl Summe=1\r\n"
         "Anzeige Aktivitaet=ja\r\nAktivitaet Auswahl=1\r\nAktivitaet Wert=2.5\r\n"
         "Diagrammart=1\r\nNachKomma=3\r\nBeaufort=ja\r\n"
         "Formel=TE-((100-FE)/5)\r\nFormelKennungen=TE,FE,\r\n",
         {});

    const CSensoren* tp = m_sensors.FindSensor("TP");
    ASSERT_NE(tp, nullptr);
    EXPECT_TRUE(tp->m_virtual);
    EXPECT_EQ(tp->m_name, "Taupunkt");
    EXPECT_EQ(tp->m_unit, "C");
    EXPECT_EQ(tp->m_factor, 1.0f);
    EXPECT_EQ(tp->m_offset, 0.5f);
    EXPECT_EQ(tp->m_colour, 65280u);
    EXPECT_EQ(tp->m_lowerLimitText, "TE");
    EXPECT_EQ(tp->m_lowerLimit, 0.0f);
    EXPECT_EQ(tp->m_lowerLimitFormat, 1);
    EXPECT_EQ(tp->m_underflowText, "-5");
    EXPECT_EQ(tp->m_underflowFormat, 1);
    EXPECT_EQ(tp->m_upperLimitText, "45.5");
    EXPECT_EQ(tp->m_upperLimit, 45.5f);
    EXPECT_EQ(tp->m_upperLimitFormat, 0);
    EXPECT_EQ(tp->m_overflowText, "FE");
    EXPECT_EQ(tp->m_overflowFormat, 2);
    EXPECT_EQ(tp->m_minScale, -20);
    EXPECT_EQ(tp->m_maxScale, 30);
    EXPECT_EQ(tp->m_tendencyTimeBase, 900);
    EXPECT_EQ(tp->m_tendencyMode, 1);
    EXPECT_EQ(tp->m_diagramType, 1);
    EXPECT_EQ(tp->m_decimals, 3);
    EXPECT_FALSE(tp->m_beaufort);
    EXPECT_EQ(tp->m_formula, "TE-((100-FE)/5)");
    EXPECT_EQ(tp->m_formulaIdentifiers, "TE,FE,");
    EXPECT_FALSE(tp->m_hourlySum);
    EXPECT_EQ(tp->m_sumHour, nullptr);

    ASSERT_EQ(m_sensors.CurrentValues().size(), 1u);
    const CAktuell& current = *m_sensors.CurrentValues()[0];
    EXPECT_EQ(current.m_sensor, tp);
    EXPECT_TRUE(current.m_virtual);
    EXPECT_EQ(current.m_formula, "TE-((100-FE)/5)");
    EXPECT_TRUE(current.m_showActivity);
    EXPECT_EQ(current.m_activityMode, 1);
    EXPECT_EQ(current.m_activityThreshold, 2.5f);
    EXPECT_TRUE(current.m_showSum);
    EXPECT_EQ(current.m_sumMode, 1);
    EXPECT_TRUE(current.m_showTendency);
    EXPECT_TRUE(current.m_history.empty());
}

struct YesNoCase {
    const char* name;
    const char* value;
    bool expected;
};

void PrintTo(const YesNoCase& c, std::ostream* os) { *os << c.name; }

class YesNoFlag : public SensorSetTest, public ::testing::WithParamInterface<YesNoCase> {};

TEST_P(YesNoFlag, OnlyJaInAnyCaseIsYes) {
    const std::string value = GetParam().value;
    Load("[TE]\r\nAnzeige Summe=" + value + "\r\nBeaufort=" + value + "\r\n",
         "[Interne Sensoren]\r\niKennung=TP,\r\n[TP]\r\nSumme Stunde=" + value + "\r\n", {"TE"});

    const CSensoren* te = m_sensors.FindSensor("TE");
    const CSensoren* tp = m_sensors.FindSensor("TP");
    ASSERT_NE(te, nullptr);
    ASSERT_NE(tp, nullptr);
    EXPECT_EQ(te->m_showSum, GetParam().expected);
    EXPECT_EQ(te->m_beaufort, GetParam().expected);
    EXPECT_EQ(tp->m_hourlySum, GetParam().expected);
    EXPECT_EQ(tp->m_sumHour != nullptr, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, YesNoFlag,
    ::testing::Values(YesNoCase{"Lower", "ja", true}, YesNoCase{"Upper", "JA", true},
                      YesNoCase{"Mixed", "jA", true}, YesNoCase{"Padded", "  ja  ", true},
                      YesNoCase{"One", "1", false}, YesNoCase{"Nein", "nein", false},
                      YesNoCase{"Longer", "jaa", false}, YesNoCase{"English", "yes", false},
                      YesNoCase{"Empty", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SensorSetTest, HourlySumLeavesActivityDisplayAsItsKeySays) {
    Load("",
         "[Interne Sensoren]\r\niKennung=RS,RH,\r\n"
         "[RS]\r\nSumme Stunde=ja\r\nAnzeige Aktivitaet=nein\r\n"
         "[RH]\r\nSumme Stunde=ja\r\nAnzeige Aktivitaet=ja\r\n",
         {});

    const CSensoren* rs = m_sensors.FindSensor("RS");
    const CSensoren* rh = m_sensors.FindSensor("RH");
    ASSERT_NE(rs, nullptr);
    ASSERT_NE(rh, nullptr);
    EXPECT_TRUE(rs->m_hourlySum);
    EXPECT_NE(rs->m_sumHour, nullptr);
    EXPECT_FALSE(rs->m_showActivity);
    EXPECT_TRUE(rh->m_hourlySum);
    EXPECT_TRUE(rh->m_showActivity);
}

struct LengthCase {
    const char* name;
    bool isVirtual;
    const char* key;
    std::string value;
    std::string CSensoren::*field;
    std::string expected;
};

void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.name; }

class MaximumLength : public SensorSetTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(MaximumLength, LongValueIsCut) {
    const LengthCase& c = GetParam();
    const CSensoren* sensor = LoadOne(c.isVirtual, c.key, c.value);
    ASSERT_NE(sensor, nullptr);
    EXPECT_EQ(sensor->*c.field, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MaximumLength,
    ::testing::Values(
        LengthCase{"MeasuredName", false, "Name", std::string(60, 'N'), &CSensoren::m_name,
                   std::string(49, 'N')},
        LengthCase{"MeasuredUnit", false, "Unit", "Grad Celsius", &CSensoren::m_unit, "Grad Cels"},
        LengthCase{"VirtualName", true, "Name", std::string(60, 'N'), &CSensoren::m_name,
                   std::string(49, 'N')},
        LengthCase{"VirtualUnit", true, "Unit", "Grad Celsius", &CSensoren::m_unit, "Grad Cels"},
        LengthCase{"VirtualLowerLimitText", true, "Untergrenze Wert", std::string(60, 'L'),
                   &CSensoren::m_lowerLimitText, std::string(49, 'L')},
        LengthCase{"VirtualUpperLimitText", true, "Obergrenze Wert", std::string(60, 'U'),
                   &CSensoren::m_upperLimitText, std::string(49, 'U')},
        LengthCase{"VirtualUnderflow", true, "Unterschreitwert", std::string(60, 'u'),
                   &CSensoren::m_underflowText, std::string(49, 'u')},
        LengthCase{"VirtualOverflow", true, "Ueberschreitwert", std::string(60, 'o'),
                   &CSensoren::m_overflowText, std::string(49, 'o')},
        LengthCase{"VirtualFormula", true, "Formel", std::string(1200, '1'), &CSensoren::m_formula,
                   std::string(999, '1')},
        LengthCase{"VirtualFormulaIdentifiers", true, "FormelKennungen", std::string(300, 'F'),
                   &CSensoren::m_formulaIdentifiers, std::string(199, 'F')}),
    [](const auto& info) { return std::string(info.param.name); });

struct NumberCase {
    const char* name;
    bool isVirtual;
    const char* key;
    const char* value;
    float expected;
    float (*get)(const CSensoren&);
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.name; }

class NumberKey : public SensorSetTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(NumberKey, ConvertsLikeTheStandardLibraryAfterCutting) {
    const NumberCase& c = GetParam();
    const CSensoren* sensor = LoadOne(c.isVirtual, c.key, c.value);
    ASSERT_NE(sensor, nullptr);
    EXPECT_EQ(c.get(*sensor), c.expected);
}

float Lower(const CSensoren& s) { return s.m_lowerLimit; }
float Upper(const CSensoren& s) { return s.m_upperLimit; }
float Offset(const CSensoren& s) { return s.m_offset; }
float Factor(const CSensoren& s) { return s.m_factor; }
float Colour(const CSensoren& s) { return static_cast<float>(s.m_colour); }
float MinScale(const CSensoren& s) { return static_cast<float>(s.m_minScale); }
float DiagramType(const CSensoren& s) { return static_cast<float>(s.m_diagramType); }
float Decimals(const CSensoren& s) { return static_cast<float>(s.m_decimals); }

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberKey,
    ::testing::Values(
        // define.ini keeps nine characters of a limit, intern.ini 49.
        NumberCase{"MeasuredUpperLimitCut", false, "Obergrenze Wert", "1234567890", 123456789.0f,
                   Upper},
        NumberCase{"VirtualUpperLimitWhole", true, "Obergrenze Wert", "1234567890", 1234567890.0f,
                   Upper},
        NumberCase{"MeasuredLowerLimitCutInFraction", false, "Untergrenze Wert", "-12.345678",
                   -12.34567f, Lower},
        NumberCase{"TrailingTextIgnored", false, "Offset", "1.5abc", 1.5f, Offset},
        NumberCase{"NoNumberIsZero", false, "Faktor", "abc", 0.0f, Factor},
        NumberCase{"ColourWithTrailingText", false, "Farbe", "255x", 255.0f, Colour},
        NumberCase{"NegativeScale", false, "Min Skalierung", "-5", -5.0f, MinScale},
        // Two characters: "12" of "123".
        NumberCase{"DiagramTypeCut", false, "Diagrammart", "123", 12.0f, DiagramType},
        // Decimals stay within what the sensor dialog offers, or no number could be written.
        NumberCase{"DecimalsKept", false, "NachKomma", "10", 10.0f, Decimals},
        NumberCase{"TooManyDecimalsAreTen", false, "NachKomma", "1000", 10.0f, Decimals},
        NumberCase{"VirtualTooManyDecimalsAreTen", true, "NachKomma", "99999", 10.0f, Decimals},
        NumberCase{"NegativeDecimalsAreNone", true, "NachKomma", "-3", 0.0f, Decimals}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SensorSetTest, FindSensorComparesExactly) {
    Load("", "[Interne Sensoren]\r\niKennung=TP,\r\n", {"TE"});

    EXPECT_EQ(m_sensors.FindSensor("TE"), m_sensors.Sensors()[0].get());
    EXPECT_EQ(m_sensors.FindSensor("TP"), m_sensors.Sensors()[1].get());
    EXPECT_EQ(m_sensors.FindSensor("te"), nullptr);
    EXPECT_EQ(m_sensors.FindSensor("T"), nullptr);
    EXPECT_EQ(m_sensors.FindSensor("TE "), nullptr);
}

TEST_F(SensorSetTest, DeleteSensorRemovesFirstMatchFromBothLists) {
    Load("[TE]\r\nName=Temperatur\r\n", "", {"TE", "FE", "TE"});
    CSensoren* secondTe = m_sensors.Sensors()[2].get();

    EXPECT_TRUE(m_sensors.DeleteSensor("TE"));

    EXPECT_EQ(SensorIdentifiers(), (std::vector<std::string>{"FE", "TE"}));
    EXPECT_EQ(m_sensors.Sensors()[1].get(), secondTe);
    ExpectListsPaired();
    EXPECT_TRUE(m_sensors.DeleteSensor("XX"));
    EXPECT_EQ(m_sensors.Sensors().size(), 2u);
}

TEST_F(SensorSetTest, ClearHistoriesEmptiesEveryHistoryAndKeepsValues) {
    Load("", "[Interne Sensoren]\r\niKennung=TP,\r\n", {"TE"});
    for (const auto& current : m_sensors.CurrentValues()) {
        current->m_history.emplace_back(1000, 1.0f);
        current->m_value = 1.0f;
    }

    m_sensors.ClearHistories();

    for (const auto& current : m_sensors.CurrentValues()) {
        EXPECT_TRUE(current->m_history.empty()) << current->m_identifier;
        EXPECT_EQ(current->m_value, 1.0f) << current->m_identifier;
    }
}

}  // namespace
