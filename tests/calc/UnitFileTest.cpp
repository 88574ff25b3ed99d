#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "FailingProfile.h"
#include "TempFolder.h"
#include "calc/UnitFile.h"
#include "model/TextNumbers.h"
#include "platform/IniProfile.h"

namespace {

using Strings = std::vector<std::string>;
using Conversion = UnitFile::Conversion;
using AddStatus = UnitFile::AddStatus;

const std::string kUnits =
    "[Sensornamenamen]\r\nGruppen=Temperatur,Wind,\r\n"
    "[Beaufort]\r\nGruppe=Wind\r\n"
    "[Temperatur]\r\nEinheiten=C,F,\r\nC=1.000000,0.000000,\r\nF=1.800000,32.000000,\r\n"
    "[Wind]\r\nEinheiten=km/h,m/s,\r\nkm/h=1.000000,0.000000,\r\nm/s=0.277778,0.000000,\r\n";

class UnitFileTest : public ::testing::Test {
protected:
    UnitFile& Units(const std::string& bytes) {
        m_folder.Write(kFile, bytes);
        return m_units;
    }
    std::string Bytes() const { return m_folder.Read(kFile); }

    static constexpr const char* kFile = "wetterunit.ini";
    TempFolder m_folder;
    IniProfile m_profile;
    UnitFile m_units{m_profile, m_folder.File(kFile)};
};

TEST_F(UnitFileTest, BeaufortIsOfferedFirstInItsGroupOnlyAndNeverListedForEditing) {
    UnitFile& units = Units(kUnits);

    EXPECT_EQ(units.Groups(), (Strings{"Temperatur", "Wind"}));
    EXPECT_EQ(units.UnitChoices("Wind"), (Strings{"Beaufort", "km/h", "m/s"}));
    EXPECT_EQ(units.UnitChoices("Temperatur"), (Strings{"C", "F"}));
    EXPECT_EQ(units.Units("Wind"), (Strings{"km/h", "m/s"}));
}

TEST_F(UnitFileTest, WithoutBeaufortSectionBeaufortIsOfferedInWindOnly) {
    UnitFile& units = Units(
        "[Sensornamenamen]\r\nGruppen=Wind,Windweg,\r\n"
        "[Wind]\r\nEinheiten=km/h,\r\n[Windweg]\r\nEinheiten=km,\r\n");

    EXPECT_EQ(units.BeaufortGroup(), "Wind");
    EXPECT_EQ(units.UnitChoices("Wind"), (Strings{"Beaufort", "km/h"}));
    EXPECT_EQ(units.UnitChoices("Windweg"), (Strings{"km"}));
    EXPECT_EQ(units.UnitChoices("wind"), (Strings{"km/h"}))
        << "the Beaufort group is compared exactly, although sections match in any case";
}

TEST_F(UnitFileTest, BeaufortSectionMovesBeaufortToTheNamedGroup) {
    UnitFile& units = Units(
        "[Beaufort]\r\nGruppe=Geschwindigkeit\r\n"
        "[Wind]\r\nEinheiten=km/h,\r\n[Geschwindigkeit]\r\nEinheiten=kn,\r\n");

    EXPECT_EQ(units.UnitChoices("Geschwindigkeit"), (Strings{"Beaufort", "kn"}));
    EXPECT_EQ(units.UnitChoices("Wind"), (Strings{"km/h"}));
}

TEST_F(UnitFileTest, MissingFileReadsAsEmptyLists) {
    EXPECT_EQ(m_units.Groups(), Strings{});
    EXPECT_EQ(m_units.Units("Wind"), Strings{});
    EXPECT_EQ(m_units.ReadConversion("Wind", "km/h"), (Conversion{"", ""}));
    EXPECT_EQ(Bytes(), "<missing>") << "reading never creates the file";
}

TEST_F(UnitFileTest, ListsAreCommaTerminated) {
    UnitFile& units = Units(
        "[Sensornamenamen]\r\nGruppen=Temperatur,Wind\r\n"
        "[Wind]\r\nEinheiten=km/h,,m/s,\r\n");

    EXPECT_EQ(units.Groups(), (Strings{"Temperatur"}));
    EXPECT_EQ(units.Units("Wind"), (Strings{"km/h", "", "m/s"}));
}

struct ConversionCase {
    const char* name;
    const char* value;  // nullptr: no key
    Conversion expected;
};

void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.name; }

class ReadConversion : public UnitFileTest, public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(ReadConversion, SplitsTheKeyAtItsCommas) {
    std::string bytes = "[Wind]\r\nEinheiten=kn,\r\n";
    if (GetParam().value) bytes += std::string("kn=") + GetParam().value + "\r\n";
    EXPECT_EQ(Units(bytes).ReadConversion("Wind", "kn"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadConversion,
    ::testing::Values(
        ConversionCase{"FactorAndOffset", "0.539957,0.000000,", {"0.539957", "0.000000"}},
        ConversionCase{"MissingKey", nullptr, {"", ""}}, ConversionCase{"EmptyValue", "", {"", ""}},
        ConversionCase{"OffsetWithoutComma", "1.8,32", {"1.8", ""}},
        ConversionCase{"NoCommaAtAll", "1.8", {"", ""}},
        ConversionCase{"EmptyFactor", ",32,", {"", "32"}},
        ConversionCase{"ThirdItemIgnored", "2,3,4,", {"2", "3"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UnitFileAccept, NeedsASelectedUnitWithFactorAndOffsetOrBeaufort) {
    const std::optional<std::string> wind = "Wind";
    const auto accept = [&](std::optional<std::string> unit, Conversion conversion) {
        return UnitFile::Accept(wind, unit, conversion);
    };

    const auto chosen = accept("m/s", {"0.277778", "0.000000"});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->group, "Wind");
    EXPECT_EQ(chosen->unit, "m/s");
    EXPECT_EQ(chosen->conversion, (Conversion{"0.277778", "0.000000"}));
    EXPECT_FALSE(chosen->beaufort);

    const auto beaufort = accept("Beaufort", {"", ""});
    ASSERT_TRUE(beaufort);
    EXPECT_TRUE(beaufort->beaufort);

    EXPECT_FALSE(accept("m/s", {"0.277778", ""}));
    EXPECT_FALSE(accept("m/s", {"", "0.000000"}));
    EXPECT_FALSE(accept("beaufort", {"", ""})) << "only the exact name is the pseudo-unit";
    EXPECT_FALSE(accept(std::nullopt, {"1", "0"}));
    EXPECT_FALSE(UnitFile::Accept(std::nullopt, "m/s", {"1", "0"}));
}

TEST_F(UnitFileTest, AcceptDoesNothingForAUnitWhoseKeyIsMissing) {
    UnitFile& units = Units("[Wind]\r\nEinheiten=kn,\r\n");
    EXPECT_FALSE(UnitFile::Accept("Wind", "kn", units.ReadConversion("Wind", "kn")));
}

TEST(UnitFileEditUnit, AsksForAGroupFirst) {
    EXPECT_EQ(UnitFile::CheckEditUnit(std::nullopt), "Please choose a units group!");
    EXPECT_EQ(UnitFile::CheckEditUnit("Wind"), std::nullopt);
}

struct NewUnitCase {
    const char* name;
    const char* unit;
    const char* factor;
    const char* offset;
    AddStatus status;
    const char* message;
    Conversion conversion;
};

void PrintTo(const NewUnitCase& c, std::ostream* os) { *os << c.name; }

class CheckNewUnit : public ::testing::TestWithParam<NewUnitCase> {};

TEST_P(CheckNewUnit, ValidatesAndNormalises) {
    const NewUnitCase& c = GetParam();
    const UnitFile::AddResult result =
        UnitFile::CheckNewUnit(c.unit, c.factor, c.offset, {"km/h", "m/s"});
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(result.conversion, c.conversion);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckNewUnit,
    ::testing::Values(
        NewUnitCase{"Plain", "kn", "0.539957", "0", AddStatus::Ok, "", {"0.539957", "0.000000"}},
        NewUnitCase{"EmptyTextsDefault", "kn", "", "", AddStatus::Ok, "", {"1.000000", "0.000000"}},
        NewUnitCase{"DecimalCommaStopsTheNumber",
                    "kn",
                    "1,8",
                    "",
                    AddStatus::Ok,
                    "",
                    {"1.000000", "0.000000"}},
        NewUnitCase{"NoNumberFactorBecomesOne",
                    "kn",
                    "abc",
                    "abc",
                    AddStatus::Ok,
                    "",
                    {"1.000000", "0.000000"}},
        NewUnitCase{"ZeroFactorBecomesOne",
                    "kn",
                    "0.0",
                    "-3.25",
                    AddStatus::Ok,
                    "",
                    {"1.000000", "-3.250000"}},
        NewUnitCase{"RoundedToSixDecimals",
                    "kn",
                    "0.5399568",
                    "1e3",
                    AddStatus::Ok,
                    "",
                    {"0.539957", "1000.000000"}},
        NewUnitCase{"EmptyName", "", "1", "0", AddStatus::CheckInput, "Check your input!", {}},
        NewUnitCase{"BlankName", "  ", "1", "0", AddStatus::CheckInput, "Check your input!", {}},
        NewUnitCase{"CommaWouldSplitTheList",
                    "m,s",
                    "1",
                    "0",
                    AddStatus::CheckInput,
                    "Check your input!",
                    {}},
        NewUnitCase{"EqualsWouldEndTheKey",
                    "a=b",
                    "1",
                    "0",
                    AddStatus::CheckInput,
                    "Check your input!",
                    {}},
        NewUnitCase{"LineEndWouldStartAKey",
                    "m\r\nkm",
                    "1",
                    "0",
                    AddStatus::CheckInput,
                    "Check your input!",
                    {}},
        NewUnitCase{"BracketWouldStartASection",
                    "[m]",
                    "1",
                    "0",
                    AddStatus::CheckInput,
                    "Check your input!",
                    {}},
        NewUnitCase{"SemicolonWouldStartAComment",
                    ";m",
                    "1",
                    "0",
                    AddStatus::CheckInput,
                    "Check your input!",
                    {}},
        NewUnitCase{"ExistingName", "m/s", "1", "0", AddStatus::UnitUsed, "Unit already used!", {}},
        NewUnitCase{
            "SameKeyInOtherCase", "KM/H", "1", "0", AddStatus::UnitUsed, "Unit already used!", {}},
        NewUnitCase{
            "SameKeyWithBlanks", " m/s ", "1", "0", AddStatus::UnitUsed, "Unit already used!", {}},
        NewUnitCase{
            "ListKeyName", "einheiten", "1", "0", AddStatus::UnitUsed, "Unit already used!", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UnitFileTest, AddAppendsToTheListAndWritesTheKey) {
    UnitFile& units = Units(
        "[Wind]\r\nEinheiten=km/h,\r\nkm/h=1.000000,0.000000,\r\n"
        "[Temperatur]\r\nEinheiten=C,\r\n");

    const UnitFile::AddResult result = units.AddUnit("Wind", "kn", "0.539957", "");

    EXPECT_EQ(result.status, AddStatus::Ok);
    EXPECT_EQ(Bytes(),
              "[Wind]\r\nEinheiten=km/h,kn,\r\nkm/h=1.000000,0.000000,\r\n"
              "kn=0.539957,0.000000,\r\n"
              "[Temperatur]\r\nEinheiten=C,\r\n");
    EXPECT_EQ(units.ReadConversion("Wind", "kn"), (Conversion{"0.539957", "0.000000"}));
}

TEST_F(UnitFileTest, AddToAGroupWithoutListStartsANewList) {
    UnitFile& units = Units("[Wind]\r\n");

    EXPECT_EQ(units.AddUnit("Wind", "kn", "", "").status, AddStatus::Ok);

    EXPECT_EQ(Bytes(), "[Wind]\r\nEinheiten=kn,\r\nkn=1.000000,0.000000,\r\n");
}

TEST_F(UnitFileTest, AddDropsTextAfterTheLastCommaInsteadOfGluingTheNameToIt) {
    UnitFile& units = Units("[Wind]\r\nEinheiten=km/h,mph\r\n");

    EXPECT_EQ(units.AddUnit("Wind", "kn", "", "").status, AddStatus::Ok);

    EXPECT_EQ(units.Units("Wind"), (Strings{"km/h", "kn"}));
}

TEST_F(UnitFileTest, RejectedAddWritesNothing) {
    const std::string before = "[Wind]\r\nEinheiten=km/h,\r\n";
    UnitFile& units = Units(before);

    EXPECT_EQ(units.AddUnit("Wind", "", "1", "0").status, AddStatus::CheckInput);
    EXPECT_EQ(units.AddUnit("Wind", "km/h", "1", "0").status, AddStatus::UnitUsed);
    EXPECT_EQ(Bytes(), before);
}

TEST_F(UnitFileTest, AddIsRefusedWhenTheListWouldNoLongerBeReadWhole) {
    std::string list;
    for (int i = 0; i < 498; ++i) list += "x,";  // 996 characters
    const std::string before = "[Wind]\r\nEinheiten=" + list + "\r\n";
    UnitFile& units = Units(before);

    EXPECT_EQ(units.AddUnit("Wind", "ab", "", "").status, AddStatus::Ok);  // 999 characters
    EXPECT_EQ(units.Units("Wind").back(), "ab");
    const std::string full = Bytes();
    EXPECT_EQ(units.AddUnit("Wind", "c", "", "").status, AddStatus::ListFull);
    EXPECT_EQ(Bytes(), full);
}

TEST_F(UnitFileTest, AddThatCannotWriteItsKeyLeavesTheUnitUnlisted) {
    const std::string before = "[Wind]\r\nEinheiten=km/h,\r\nkm/h=1.000000,0.000000,\r\n";
    Units(before);
    FailingProfile profile(2);  // the list is written, its key is not
    UnitFile units(profile, m_folder.File(kFile));

    const UnitFile::AddResult result = units.AddUnit("Wind", "kn", "", "");

    EXPECT_EQ(result.status, AddStatus::WriteFailed);
    EXPECT_EQ(result.message, "Can't write the unit file!");
    EXPECT_EQ(Bytes(), before);
}

TEST_F(UnitFileTest, DeleteRemovesTheFirstEqualEntryAndTheKey) {
    UnitFile& units = Units(
        "[Wind]\r\nEinheiten=kn,km/h,kn,\r\nkn=0.539957,0.000000,\r\n"
        "km/h=1.000000,0.000000,\r\n");

    EXPECT_TRUE(units.DeleteUnit("Wind", "kn"));

    EXPECT_EQ(Bytes(), "[Wind]\r\nEinheiten=km/h,kn,\r\nkm/h=1.000000,0.000000,\r\n");
}

TEST_F(UnitFileTest, DeletingTheOnlyUnitLeavesAnEmptyList) {
    UnitFile& units = Units("[Wind]\r\nEinheiten=kn,\r\nkn=0.539957,0.000000,\r\n");

    EXPECT_TRUE(units.DeleteUnit("Wind", "kn"));

    EXPECT_EQ(Bytes(), "[Wind]\r\nEinheiten=\r\n");
    EXPECT_EQ(units.Units("Wind"), Strings{});
}

TEST_F(UnitFileTest, DeleteKeepsUnitsPastTheReadablePartOfAHandEditedList) {
    std::string list;
    for (int i = 0; i < 300; ++i) list += "u" + std::to_string(i) + ",";
    UnitFile& units = Units("[Wind]\r\nEinheiten=" + list + "\r\n");

    EXPECT_TRUE(units.DeleteUnit("Wind", "u0"));

    EXPECT_EQ(Bytes(), "[Wind]\r\nEinheiten=" + list.substr(3) + "\r\n");
}

// The unit file that comes with the installation.
std::string ShippedUnitFile() {
    const std::filesystem::path file =
        std::filesystem::path(__FILE__).parent_path() / "../../dist/wetterunit.ini";
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DefaultUnitFile, IsTheShippedFileByteForByte) {
    const std::string shipped = ShippedUnitFile();
    ASSERT_FALSE(shipped.empty());
    EXPECT_EQ(std::string(UnitFile::DefaultContents()), shipped);
    EXPECT_NE(shipped.find("\260C="), std::string::npos) << "Windows-1252, not UTF-8";
}

TEST_F(UnitFileTest, DefaultUnitsConvertFromTheStationsBaseUnits) {
    UnitFile& units = Units(std::string(UnitFile::DefaultContents()));
    struct Row {
        const char* group;
        const char* unit;
        double base;
        double shown;
    };
    const Row rows[] = {
        {"Temperature", "\260C", 20.0, 20.0}, {"Temperature", "\260F", 20.0, 68.0},
        {"Temperature", "K", 0.0, 273.15},    {"Wind", "km/h", 36.0, 36.0},
        {"Wind", "m/s", 36.0, 10.0},          {"Wind", "kn", 100.0, 54.0},
        {"Wind", "mph", 100.0, 62.14},        {"Pressure", "hPa", 1013.25, 1013.25},
        {"Pressure", "mmHg", 1013.25, 760.0}, {"Pressure", "inHg", 1013.25, 29.92},
        {"Precipitation", "mm", 25.4, 25.4},  {"Precipitation", "in", 25.4, 1.0},
        {"Humidity", "%", 55.0, 55.0},        {"Radiation", "W/m\262", 800.0, 800.0},
        {"Direction", "\260", 270.0, 270.0},
    };
    for (const Row& row : rows) {
        const Conversion conversion = units.ReadConversion(row.group, row.unit);
        const auto choice = UnitFile::Accept(row.group, row.unit, conversion);
        ASSERT_TRUE(choice) << row.group << " " << row.unit;
        const double shown =
            row.base * TextNumbers::Atof(conversion.factor) + TextNumbers::Atof(conversion.offset);
        EXPECT_NEAR(shown, row.shown, 0.01) << row.group << " " << row.unit;
    }
    std::size_t listed = 0;
    for (const std::string& group : units.Groups()) listed += units.Units(group).size();
    EXPECT_EQ(listed, std::size(rows)) << "a unit without a row here";
    EXPECT_EQ(units.BeaufortGroup(), "Wind");
    EXPECT_EQ(units.UnitChoices("Wind").front(), "Beaufort");
}

TEST_F(UnitFileTest, TheDefaultFileIsWrittenOnlyWhereNoneExists) {
    const std::string path = m_folder.File(kFile);
    EXPECT_TRUE(UnitFile::WriteDefaultWhenMissing(m_profile, path));
    EXPECT_EQ(Bytes(), UnitFile::DefaultContents());

    const std::string own = "[Sensornamenamen]\r\nGruppen=Wind,\r\n";
    m_folder.Write(kFile, own);
    EXPECT_TRUE(UnitFile::WriteDefaultWhenMissing(m_profile, path));
    EXPECT_EQ(Bytes(), own);

    EXPECT_FALSE(
        UnitFile::WriteDefaultWhenMissing(m_profile, m_folder.File("gone/wetterunit.ini")));
}

TEST_F(UnitFileTest, ANewGroupIsListedWithoutUnits) {
    UnitFile& units = Units(kUnits);

    EXPECT_EQ(units.AddGroup(" Soil moisture "), std::nullopt);

    EXPECT_EQ(units.Groups(), (Strings{"Temperatur", "Wind", "Soil moisture"}));
    EXPECT_EQ(units.Units("Soil moisture"), Strings{});
    EXPECT_EQ(units.AddUnit("Soil moisture", "cb", "", "").status, AddStatus::Ok);
    EXPECT_EQ(units.UnitChoices("Soil moisture"), Strings{"cb"});
}

TEST_F(UnitFileTest, ANewGroupIsRefusedWithAReason) {
    UnitFile& units = Units(kUnits);
    const std::pair<std::string, const char*> refused[] = {
        {"", "Check your input!"},
        {"  ", "Check your input!"},
        {"Soil,moisture", "Check your input!"},
        {"[x]", "Check your input!"},
        {std::string(50, 'x'), "Check your input!"},
        {"Wind", "Group already used!"},
        {"wind", "Group already used!"},  // sections match in any case
        {"Sensornamenamen", "Group already used!"},
        {"Beaufort", "Group already used!"},
    };
    for (const auto& [name, message] : refused)
        EXPECT_EQ(units.AddGroup(name), std::optional<std::string>(message)) << name;
    EXPECT_EQ(Bytes(), kUnits);

    std::string many;
    for (int i = 0; i < 498; ++i) many += "x,";  // 996 characters
    UnitFile& full = Units("[Sensornamenamen]\r\nGruppen=" + many + "\r\n");
    EXPECT_EQ(full.AddGroup("abc"), std::optional<std::string>("Too many unit groups!"));
}

}  // namespace
