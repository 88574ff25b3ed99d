#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"
#include "display/MultiDisplaySettings.h"
#include "platform/IniProfile.h"

namespace {

class MultiSettingsTest : public ::testing::Test {
protected:
    std::string File() const { return m_folder.File("multi.ini"); }

    TempFolder m_folder;
    IniProfile m_profile;
};

TEST_F(MultiSettingsTest, WithoutAFileEverythingHasItsDefault) {
    const MultiDisplaySettings settings = MultiDisplaySettings::Read(m_profile, File());
    EXPECT_EQ(settings.additionalIds, (std::array<std::string, 5>{"TE", "FE", "DR", "RE", "SO"}));
    EXPECT_EQ(settings.tileColour, 12632256u);
    EXPECT_EQ(settings.backgroundColour, 16777215u);
    EXPECT_EQ(settings.textColour, 0u);
    EXPECT_EQ(settings.directionMaster, 1);
    EXPECT_FALSE(settings.placement);
}

TEST_F(MultiSettingsTest, DamagedKeysKeepTheirDefaults) {
    m_folder.Write(
        "multi.ini",
        "[MultiSetts]\nZusatz1Kennung=\nZusatz2Kennung=  WG \nZusatz3Kennung=VERYLONGIDENT\n"
        "[Farben]\nKachel=grey\nHintergrund=-5\nSchrift=16777216\n"
        "[Haupt Wind Sensor]\nSensor=7\n"
        "[Window]\nPos=0102\nDock=2\n");
    const MultiDisplaySettings settings = MultiDisplaySettings::Read(m_profile, File());
    EXPECT_EQ(settings.additionalIds[0], "TE") << "an emptied key";
    EXPECT_EQ(settings.additionalIds[1], "WG");
    EXPECT_EQ(settings.additionalIds[2], "VERYLONGI") << "read through a 10-byte buffer";
    EXPECT_EQ(settings.tileColour, MultiDisplaySettings::kDefaultTile);
    EXPECT_EQ(settings.backgroundColour, MultiDisplaySettings::kDefaultBackground);
    EXPECT_EQ(settings.textColour, MultiDisplaySettings::kDefaultText) << "beyond white";
    EXPECT_EQ(settings.directionMaster, 1);
    EXPECT_FALSE(settings.placement) << "no valid placement bytes";
}

TEST_F(MultiSettingsTest, WrittenSettingsReadBackTheSame) {
    MultiDisplaySettings written;
    written.additionalIds = {"WG", "TE", "LD", "RE", "UV"};
    written.tileColour = 0x00FFFF;
    written.backgroundColour = 0x202020;
    written.textColour = 0xFFFFFF;
    written.directionMaster = 2;
    written.placement =
        MultiWindowPlacement{MultiWindowPlacement::kShowMaximized, -1200, 40, -10, 760, 2};
    ASSERT_TRUE(written.Write(m_profile, File()));

    const MultiDisplaySettings read = MultiDisplaySettings::Read(m_profile, File());
    EXPECT_EQ(read.additionalIds, written.additionalIds);
    EXPECT_EQ(read.tileColour, written.tileColour);
    EXPECT_EQ(read.backgroundColour, written.backgroundColour);
    EXPECT_EQ(read.textColour, written.textColour);
    EXPECT_EQ(read.directionMaster, 2);
    EXPECT_EQ(read.placement, written.placement);

    const std::string text = m_folder.Read("multi.ini");
    for (const char* line :
         {"Zusatz1Kennung=WG", "Zusatz5Kennung=UV", "Kachel=65535", "Hintergrund=2105376",
          "Schrift=16777215", "[Haupt Wind Sensor]", "Sensor=2", "Dock=2"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
}

// The 10-byte buffer can cut a value just after a blank that the profile would
// have dropped at the value's end, or between a pair of quotes it would have
// taken off: saved, such a value must still read back as it was.
TEST_F(MultiSettingsTest, AValueCutAfterABlankReadsAsItSavesAndReadsAgain) {
    const struct {
        const char* line;
        const char* id;
    } rows[] = {
        {"Zusatz2Kennung=F\xff\xff\xff\xff\xff\xff\xff\vO", "F\xff\xff\xff\xff\xff\xff\xff"},
        {"Zusatz2Kennung=ABCDEF \v\vGH", "ABCDEF"},
        {"Zusatz2Kennung=\vWG", "WG"},
        {"Zusatz2Kennung='ESetng='E", "'ESetng='"},
    };
    for (const auto& row : rows) {
        m_folder.Write("multi.ini", std::string("[MultiSetts]\n") + row.line + "\n");
        const MultiDisplaySettings read = MultiDisplaySettings::Read(m_profile, File());
        EXPECT_EQ(read.additionalIds[1], row.id) << row.line;
        ASSERT_TRUE(read.Write(m_profile, File()));
        EXPECT_EQ(MultiDisplaySettings::Read(m_profile, File()).additionalIds, read.additionalIds)
            << row.line;
    }
}

TEST_F(MultiSettingsTest, AnUnwritableFileIsReported) {
    MultiDisplaySettings settings;
    EXPECT_FALSE(settings.Write(m_profile, m_folder.File("missing/folder/multi.ini")));
}

TEST(MultiPlacement, IsAWindowsPlacementOf44Bytes) {
    const MultiWindowPlacement placement{MultiWindowPlacement::kShowNormal, 100, 50, 1060, 650, 0};
    const std::array<unsigned char, 44> bytes = PackPlacement(placement);
    EXPECT_EQ(bytes[0], 44);  // length
    EXPECT_EQ(bytes[8], 1);   // SW_SHOWNORMAL
    EXPECT_EQ(bytes[12], 0xFF) << "no minimised position";
    EXPECT_EQ(bytes[28], 100);  // normal rectangle: left, top, right, bottom
    EXPECT_EQ(bytes[36], 1060 & 0xFF);
    EXPECT_EQ(bytes[37], 1060 >> 8);
    EXPECT_EQ(UnpackPlacement(bytes), placement);
}

TEST(MultiPlacement, BytesThatNameNoWindowGiveNoPlacement) {
    const MultiWindowPlacement good{MultiWindowPlacement::kShowNormal, 0, 0, 800, 600, 0};
    auto damaged = [&](auto change) {
        std::array<unsigned char, 44> bytes = PackPlacement(good);
        change(bytes);
        return UnpackPlacement(bytes);
    };
    EXPECT_FALSE(damaged([](auto& b) { b[0] = 40; })) << "wrong length";
    EXPECT_FALSE(damaged([](auto& b) { b[36] = 0, b[37] = 0; })) << "no width";
    EXPECT_FALSE(damaged([](auto& b) { b[43] = 0x7F; })) << "far beyond any screen";
    EXPECT_TRUE(damaged([](auto&) {}));
}

}  // namespace
