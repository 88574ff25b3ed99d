#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "FailingProfile.h"
#include "TempFolder.h"
#include "calc/CSensorDefine.h"
#include "model/CSensoren.h"
#include "model/CSumHour.h"
#include "model/SensorFiles.h"
#include "platform/IniProfile.h"

namespace {

const std::vector<std::string> kStation = {"TA", "TI", "WG", "WR"};
const std::string kOtherSensor = "[Interne Sensoren]\r\niKennung=WC,\r\n[WC]\r\nName=Windchill\r\n";

// An input that passes every check.
VirtualSensorInput Valid() {
    VirtualSensorInput in;
    in.identifier = "TP";
    in.name = "Taupunkt";
    in.unit = "C";
    in.formula = "TA - 0.1 * TI";
    in.lowerLimit = "-50";
    in.upperLimit = "TI";
    in.underflowValue = "";
    in.overflowValue = "TI";
    in.decimals = 1;
    in.minScale = "-10";
    in.maxScale = "40";
    in.considerMinScale = true;
    in.considerMaxScale = true;
    in.scalingRange = 1;
    in.diagramType = 1;
    in.colour = 255;
    in.showMaximum = true;
    in.showMean = true;
    in.showSum = true;
    in.sumMode = 1;
    in.showActivity = true;
    in.activityMode = 1;
    in.activityThreshold = "0.25";
    in.showTendency = true;
    in.tendencyMode = 0;
    in.tendencyTimeBase = 600;
    in.hourlySum = true;
    in.windRose = WindRoseSettings{true, false, "WR", "", "WG"};
    return in;
}

const std::string kStoredTP =
    "[TP]\r\n"
    "Name=Taupunkt\r\nUnit=C\r\nNachKomma=1\r\n"
    "Formel=TA-0.1*TI\r\nFormelKennungen=TA,TI,\r\n"
    "Untergrenze Wert=-50\r\nUntergrenze Format=0\r\n"
    "Unterschreitwert=\r\nUnterschreit Format=0\r\n"
    "Obergrenze Wert=TI\r\nObergrenze Format=1\r\n"
    "Ueberschreitwert=TI\r\nUeberschreit Format=2\r\n"
    "Farbe=255\r\nDiagrammart=1\r\n"
    "Min Skalierung=-10\r\nMax Skalierung=40\r\n"
    "Anzeige Min-Skalierung=ja\r\nAnzeige Max-Skalierung=ja\r\nSkalierungsbereich=1\r\n"
    "Anzeige Maximum=ja\r\nAnzeige Minimum=nein\r\nAnzeige Durchschnitt=ja\r\n"
    "Anzeige Summe=ja\r\nAuswahl Summe=1\r\n"
    "Anzeige Aktivitaet=ja\r\nAktivitaet Auswahl=1\r\nAktivitaet Wert=0.25\r\n"
    "Anzeige Tendenz=ja\r\nAuswahl Tendenz=0\r\nZeitbasis Tendenz=600\r\n"
    "Summe Stunde=ja\r\n"
    "Windrose=Enabled\r\nSens1Ausblenden=Disabled\r\n"
    "WindroseSensor1=WR\r\nWindroseSensor2=\r\nWindroseSensor3=WG\r\n";

class SensorDefineTest : public ::testing::Test {
protected:
    CSensorDefine& Define(const std::string& intern) {
        m_folder.Write(kFile, intern);
        return m_define;
    }
    std::string Bytes() const { return m_folder.Read(kFile); }
    std::string Path() const { return m_folder.File(kFile); }

    CheckedVirtualSensor Accepted(const VirtualSensorInput& input, bool isNew = true) {
        const CSensorDefine::Validation validation = m_define.Validate(input, isNew);
        EXPECT_EQ(validation.message, "");
        return validation.sensor.value_or(CheckedVirtualSensor{});
    }

    static constexpr const char* kFile = "wetterintern.ini";
    TempFolder m_folder;
    IniProfile m_profile;
    CSensorDefine m_define{m_profile, m_folder.File(kFile), kStation};
};

TEST(SensorDefineNumbers, ClassifiesLimitTexts) {
    const std::pair<const char*, bool> rows[] = {
        {"", true},     {"5", true},      {"-5", true},   {"2.5", true}, {"-2.5", true},
        {".", true},    {"-.", true},     {"007", true},  {"-", false},  {"+5", false},
        {"1e5", false}, {"1.2.3", false}, {"--5", false}, {"5-", false}, {" 5", false},
        {"1,5", false}, {"TA", false}};
    for (const auto& [text, number] : rows) {
        EXPECT_EQ(CSensorDefine::IsNumber(text), number) << '"' << text << '"';
    }
}

TEST_F(SensorDefineTest, LimitsAndReplacementsGetTheirKinds) {
    const std::pair<const char*, std::optional<int>> limits[] = {{"-5", 0},
                                                                 {".", 0},
                                                                 {"TI", 1},
                                                                 {"", std::nullopt},
                                                                 {"abc", std::nullopt},
                                                                 {"ti", std::nullopt},
                                                                 {"WC", std::nullopt}};
    for (const auto& [text, kind] : limits) EXPECT_EQ(m_define.LimitFormat(text), kind) << text;

    const std::pair<const char*, std::optional<int>> replacements[] = {
        {"", 0}, {"3", 1}, {"-0.5", 1}, {"TI", 2}, {"abc", std::nullopt}, {"-", std::nullopt}};
    for (const auto& [text, kind] : replacements) {
        EXPECT_EQ(m_define.ReplacementFormat(text), kind) << text;
    }
}

// Each case breaks its own check and every later one: only its message may show.
struct OrderCase {
    const char* name;
    std::size_t firstBroken;
    const char* message;
};

void PrintTo(const OrderCase& c, std::ostream* os) { *os << c.name; }

const std::vector<std::function<void(VirtualSensorInput&)>> kBreakers = {
    [](VirtualSensorInput& in) { in.identifier = ""; },
    [](VirtualSensorInput& in) { in.identifier = "TA"; },
    [](VirtualSensorInput& in) { in.name = ""; },
    [](VirtualSensorInput& in) { in.lowerLimit = "abc"; },
    [](VirtualSensorInput& in) { in.underflowValue = "abc"; },
    [](VirtualSensorInput& in) { in.overflowValue = "abc"; },
    [](VirtualSensorInput& in) { in.unit = ""; },
    [](VirtualSensorInput& in) { in.formula = ""; },
    [](VirtualSensorInput& in) { in.formula = "1+X"; },
    [](VirtualSensorInput& in) {
        in.minScale = "10.9";
        in.maxScale = "10.1";
    },
};

class ValidationOrder : public SensorDefineTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(ValidationOrder, FirstFailingCheckWins) {
    VirtualSensorInput input = Valid();
    for (std::size_t i = kBreakers.size(); i-- > GetParam().firstBroken;) kBreakers[i](input);

    const CSensorDefine::Validation validation = Define(kOtherSensor).Validate(input, true);

    EXPECT_EQ(validation.message, GetParam().message);
    EXPECT_FALSE(validation.sensor);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValidationOrder,
    ::testing::Values(OrderCase{"MissingIdentifier", 0, "Missing identifier!"},
                      OrderCase{"IdentifierExists", 1, "New identifier already exists!"},
                      OrderCase{"MissingName", 2, "Missing sensorname!"},
                      OrderCase{"Limits", 3, "Please check upper and lower limit!"},
                      OrderCase{"Underflow", 4, "Underflow values not correct!"},
                      OrderCase{"Overflow", 5, "Overflow value not correct!"},
                      OrderCase{"UnitMissing", 6, "Unit missing!"},
                      OrderCase{"MissingFormula", 7, "Missing formula!"},
                      OrderCase{"PhraseNotCorrect", 8, "Phrase not correct!"},
                      OrderCase{"Scales", 9, "Min and max scales not correct!"}),
    [](const auto& info) { return std::string(info.param.name); });

struct InputCase {
    const char* name;
    std::function<void(VirtualSensorInput&)> change;
    bool isNew;
    const char* message;  // "" accepted
};

void PrintTo(const InputCase& c, std::ostream* os) { *os << c.name; }

class ValidateInput : public SensorDefineTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(ValidateInput, ShowsTheMessage) {
    VirtualSensorInput input = Valid();
    GetParam().change(input);

    const CSensorDefine::Validation validation =
        Define(kOtherSensor).Validate(input, GetParam().isNew);

    EXPECT_EQ(validation.message, GetParam().message);
    EXPECT_EQ(validation.sensor.has_value(), validation.message.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValidateInput,
    ::testing::Values(
        InputCase{"ExistingVirtualIdentifier", [](auto& in) { in.identifier = "WC"; }, true,
                  "New identifier already exists!"},
        InputCase{"EditingKeepsItsIdentifier", [](auto& in) { in.identifier = "WC"; }, false, ""},
        InputCase{"DigitInNewIdentifier", [](auto& in) { in.identifier = "T1"; }, true,
                  "Identifier not correct!"},
        InputCase{"LowerCaseNewIdentifier", [](auto& in) { in.identifier = "tp"; }, true,
                  "Identifier not correct!"},
        InputCase{"LongNewIdentifier", [](auto& in) { in.identifier = "TPX"; }, true,
                  "Identifier not correct!"},
        InputCase{"EditedLegacyIdentifier", [](auto& in) { in.identifier = "T1"; }, false, ""},
        InputCase{"UpperLimitNoIdentifier", [](auto& in) { in.upperLimit = "abc"; }, true,
                  "Please check upper and lower limit!"},
        InputCase{"EmptyLowerLimit", [](auto& in) { in.lowerLimit = ""; }, true,
                  "Please check upper and lower limit!"},
        InputCase{"LimitNamesVirtualSensor", [](auto& in) { in.lowerLimit = "WC"; }, true,
                  "Please check upper and lower limit!"},
        InputCase{"LimitsInAnyOrder",
                  [](auto& in) {
                      in.lowerLimit = "50";
                      in.upperLimit = "-50";
                  },
                  true, ""},
        InputCase{"LineEndInName", [](auto& in) { in.name = "Tau\r\n[TA]"; }, true,
                  "Sensorname not correct!"},
        InputCase{"NameCutWhenLoaded", [](auto& in) { in.name = std::string(50, 'n'); }, true,
                  "Sensorname not correct!"},
        InputCase{"IniCharactersInNameAreKept", [](auto& in) { in.name = "a=b, [c]"; }, true, ""},
        InputCase{"NameBeginsWithBlank", [](auto& in) { in.name = " Tau"; }, true,
                  "Sensorname begins or ends with a blank!"},
        InputCase{"NameEndsWithBlankWhenEdited", [](auto& in) { in.name = "Tau "; }, false,
                  "Sensorname begins or ends with a blank!"},
        InputCase{"LineEndInUnit", [](auto& in) { in.unit = "C\n"; }, true, "Unit not correct!"},
        InputCase{"UnitCutWhenLoaded", [](auto& in) { in.unit = "0123456789"; }, true,
                  "Unit not correct!"},
        InputCase{"LimitCutWhenLoaded", [](auto& in) { in.lowerLimit = std::string(50, '1'); },
                  true, "Please check upper and lower limit!"},
        InputCase{"OverflowNoIdentifier", [](auto& in) { in.overflowValue = "1e5"; }, true,
                  "Overflow value not correct!"},
        InputCase{"FormulaUsesVirtualSensor", [](auto& in) { in.formula = "WC+1"; }, true,
                  "Phrase not correct!"},
        InputCase{"MissingBracket", [](auto& in) { in.formula = "(TA+1"; }, true,
                  "Phrase not correct!"},
        InputCase{"FormulaOfSpacesOnly", [](auto& in) { in.formula = "   "; }, true,
                  "Missing formula!"},
        InputCase{"FormulaTooLongToLoad", [](auto& in) { in.formula = std::string(999, '1'); },
                  true, ""},
        InputCase{"FormulaTooLongToLoadAfterSpaces",
                  [](auto& in) { in.formula = std::string(1000, '1'); }, true,
                  "Phrase not correct!"},
        InputCase{"EqualScales",
                  [](auto& in) {
                      in.minScale = "10";
                      in.maxScale = "10";
                  },
                  true, "Min and max scales not correct!"},
        InputCase{"ScalesIgnoredUnlessBothConsidered",
                  [](auto& in) {
                      in.minScale = "50";
                      in.considerMaxScale = false;
                  },
                  true, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SensorDefineTest, FailedFormulaCheckStillReportsItsPosition) {
    VirtualSensorInput input = Valid();
    input.formula = "1 + X";

    const CSensorDefine::Validation validation = Define("").Validate(input, true);

    ASSERT_TRUE(validation.formulaCheck);
    EXPECT_EQ(validation.formulaCheck->formula, "1+X");
    EXPECT_EQ(validation.formulaCheck->status, "Error from character 2.");
    EXPECT_EQ(validation.formulaCheck->errorIndex, 2u);
}

TEST_F(SensorDefineTest, AcceptedInputIsClassified) {
    VirtualSensorInput input = Valid();
    input.considerMaxScale = false;  // "Complete area" needs both scales

    const CheckedVirtualSensor sensor = Accepted(input);

    EXPECT_EQ(sensor.input.formula, "TA-0.1*TI");
    EXPECT_EQ(sensor.formulaIdentifiers, "TA,TI,");
    EXPECT_EQ(sensor.lowerLimitFormat, 0);
    EXPECT_EQ(sensor.upperLimitFormat, 1);
    EXPECT_EQ(sensor.underflowFormat, 0);
    EXPECT_EQ(sensor.overflowFormat, 2);
    EXPECT_EQ(sensor.input.scalingRange, 0);
}

TEST_F(SensorDefineTest, NewSensorIsListedAndWrittenKeyByKey) {
    CSensorDefine& define = Define(kOtherSensor);

    EXPECT_TRUE(define.Store(Accepted(Valid()), true));

    EXPECT_EQ(Bytes(),
              "[Interne Sensoren]\r\niKennung=WC,TP,\r\n[WC]\r\nName=Windchill\r\n" + kStoredTP);
}

void ExpectSameSensor(const CSensoren& a, const CSensoren& b) {
    EXPECT_EQ(a.m_identifier, b.m_identifier);
    EXPECT_EQ(a.m_name, b.m_name);
    EXPECT_EQ(a.m_unit, b.m_unit);
    EXPECT_EQ(a.m_factor, b.m_factor);
    EXPECT_EQ(a.m_offset, b.m_offset);
    EXPECT_EQ(a.m_colour, b.m_colour);
    EXPECT_EQ(a.m_lowerLimit, b.m_lowerLimit);
    EXPECT_EQ(a.m_lowerLimitText, b.m_lowerLimitText);
    EXPECT_EQ(a.m_lowerLimitFormat, b.m_lowerLimitFormat);
    EXPECT_EQ(a.m_underflowText, b.m_underflowText);
    EXPECT_EQ(a.m_underflowFormat, b.m_underflowFormat);
    EXPECT_EQ(a.m_upperLimit, b.m_upperLimit);
    EXPECT_EQ(a.m_upperLimitText, b.m_upperLimitText);
    EXPECT_EQ(a.m_upperLimitFormat, b.m_upperLimitFormat);
    EXPECT_EQ(a.m_overflowText, b.m_overflowText);
    EXPECT_EQ(a.m_overflowFormat, b.m_overflowFormat);
    EXPECT_EQ(a.m_minScale, b.m_minScale);
    EXPECT_EQ(a.m_maxScale, b.m_maxScale);
    EXPECT_EQ(a.m_showTendency, b.m_showTendency);
    EXPECT_EQ(a.m_tendencyTimeBase, b.m_tendencyTimeBase);
    EXPECT_EQ(a.m_tendencyMode, b.m_tendencyMode);
    EXPECT_EQ(a.m_showSum, b.m_showSum);
    EXPECT_EQ(a.m_sumMode, b.m_sumMode);
    EXPECT_EQ(a.m_showActivity, b.m_showActivity);
    EXPECT_EQ(a.m_activityMode, b.m_activityMode);
    EXPECT_EQ(a.m_activityThreshold, b.m_activityThreshold);
    EXPECT_EQ(a.m_showMinScale, b.m_showMinScale);
    EXPECT_EQ(a.m_showMaxScale, b.m_showMaxScale);
    EXPECT_EQ(a.m_showMean, b.m_showMean);
    EXPECT_EQ(a.m_showMaximum, b.m_showMaximum);
    EXPECT_EQ(a.m_showMinimum, b.m_showMinimum);
    EXPECT_EQ(a.m_diagramType, b.m_diagramType);
    EXPECT_EQ(a.m_scalingRange, b.m_scalingRange);
    EXPECT_EQ(a.m_beaufort, b.m_beaufort);
    EXPECT_EQ(a.m_virtual, b.m_virtual);
    EXPECT_EQ(a.m_formula, b.m_formula);
    EXPECT_EQ(a.m_formulaIdentifiers, b.m_formulaIdentifiers);
    EXPECT_EQ(a.m_decimals, b.m_decimals);
    EXPECT_EQ(a.m_hourlySum, b.m_hourlySum);
    EXPECT_EQ(a.m_sumHour != nullptr, b.m_sumHour != nullptr);
}

TEST_F(SensorDefineTest, StoredSensorLoadsAsTheRecordTheDocumentGets) {
    CSensorDefine& define = Define(kOtherSensor);
    const CheckedVirtualSensor checked = Accepted(Valid());
    ASSERT_TRUE(define.Store(checked, true));

    const auto loaded = ReadVirtualSensor(m_profile, Path(), "TP");
    const auto made = CSensorDefine::ToSensor(checked);

    ExpectSameSensor(*loaded, *made);
    EXPECT_TRUE(made->m_virtual);
    EXPECT_NE(made->m_sumHour, nullptr);
    EXPECT_EQ(ReadVirtualSensorIdentifiers(m_profile, Path()),
              (std::vector<std::string>{"WC", "TP"}));
}

TEST_F(SensorDefineTest, EditingUnchangedWritesTheSameBytes) {
    const std::string before = "[Interne Sensoren]\r\niKennung=TP,\r\n" + kStoredTP;
    CSensorDefine& define = Define(before);
    const auto loaded = ReadVirtualSensor(m_profile, Path(), "TP");

    VirtualSensorInput input = CSensorDefine::InputFrom(*loaded);
    input.windRose = Valid().windRose;  // kept by the azimuth-scale settings, not the record
    ASSERT_TRUE(define.Store(Accepted(input, false), false));

    EXPECT_EQ(Bytes(), before);
}

TEST_F(SensorDefineTest, EditLeavesListAndUnsetWindRoseKeysAlone) {
    CSensorDefine& define =
        Define("[Interne Sensoren]\r\niKennung=TP,\r\n[TP]\r\nName=Alt\r\nWindrose=Enabled\r\n");
    VirtualSensorInput input = Valid();
    input.windRose.reset();

    ASSERT_TRUE(define.Store(Accepted(input, false), false));

    EXPECT_EQ(ReadVirtualSensorIdentifiers(m_profile, Path()), (std::vector<std::string>{"TP"}));
    EXPECT_EQ(m_profile.ReadText(Path(), "TP", "Name", "", 49), "Taupunkt");
    EXPECT_EQ(m_profile.ReadText(Path(), "TP", "Windrose", "", 14), "Enabled");
}

TEST_F(SensorDefineTest, NewSensorIsRefusedWhenTheListWouldNoLongerBeReadWhole) {
    std::string list;
    for (int i = 0; i < 333; ++i) list += "AB,";  // 999 characters
    const std::string before = "[Interne Sensoren]\r\niKennung=" + list + "\r\n";
    CSensorDefine& define = Define(before);
    const CheckedVirtualSensor checked = Accepted(Valid());

    EXPECT_FALSE(define.Store(checked, true));
    EXPECT_EQ(Bytes(), before);
}

TEST_F(SensorDefineTest, NewSensorIsNotLeftHalfWrittenWhenAWriteFails) {
    const CheckedVirtualSensor checked = Accepted(Valid());
    for (const int failingWrite : {1, 2, 10}) {
        Define(kOtherSensor);
        FailingProfile profile(failingWrite);
        CSensorDefine define(profile, Path(), kStation);

        EXPECT_FALSE(define.Store(checked, true)) << failingWrite;

        EXPECT_EQ(Bytes(), kOtherSensor) << failingWrite;
    }
}

TEST_F(SensorDefineTest, DeleteRemovesSectionAndFirstListEntry) {
    CSensorDefine& define = Define(
        "[Interne Sensoren]\r\niKennung=TP,WC,TP,\r\n[TP]\r\nName=a\r\nFormel=TA\r\n"
        "[WC]\r\nName=b\r\n");

    EXPECT_TRUE(define.Delete("TP"));

    EXPECT_EQ(Bytes(), "[Interne Sensoren]\r\niKennung=WC,TP,\r\n[WC]\r\nName=b\r\n");
}

TEST_F(SensorDefineTest, DeletingTheLastSensorLeavesAnEmptyList) {
    CSensorDefine& define = Define(kOtherSensor);

    EXPECT_TRUE(define.Delete("WC"));

    EXPECT_EQ(Bytes(), "[Interne Sensoren]\r\niKennung=\r\n");
    EXPECT_EQ(ReadVirtualSensorIdentifiers(m_profile, Path()), std::vector<std::string>{});
}

TEST_F(SensorDefineTest, AFailedDeleteNeverLeavesAListedSensorWithoutItsSection) {
    const std::string before =
        "[Interne Sensoren]\r\niKennung=TP,WC,\r\n[TP]\r\nName=a\r\n[WC]\r\nName=b\r\n";
    {
        Define(before);
        FailingProfile profile(1);
        CSensorDefine define(profile, Path(), kStation);
        EXPECT_FALSE(define.Delete("TP"));
        EXPECT_EQ(Bytes(), before) << "the list could not be written";
    }
    {
        FailingProfile profile(2);
        CSensorDefine define(profile, Path(), kStation);
        EXPECT_TRUE(define.Delete("TP"));
        EXPECT_EQ(ReadVirtualSensorIdentifiers(m_profile, Path()), std::vector<std::string>{"WC"})
            << "an unlisted leftover section is never loaded";
    }
}

TEST(SensorDefineRecord, EditedRecordFollowsTheHourlySum) {
    CSensoren sensor;
    sensor.m_hourlySum = true;
    sensor.m_sumHour = std::make_unique<CSumHour>();
    CheckedVirtualSensor checked;
    checked.input = Valid();

    checked.input.hourlySum = false;
    CSensorDefine::ApplyTo(checked, sensor);
    EXPECT_FALSE(sensor.m_hourlySum);
    EXPECT_EQ(sensor.m_sumHour, nullptr);

    checked.input.hourlySum = true;
    CSensorDefine::ApplyTo(checked, sensor);
    EXPECT_TRUE(sensor.m_hourlySum);
    EXPECT_NE(sensor.m_sumHour, nullptr);
    EXPECT_TRUE(sensor.m_virtual);
}

}  // namespace
