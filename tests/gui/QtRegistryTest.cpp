#include <gtest/gtest.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QWidget>

#include "TempFolder.h"
#include "app/LayoutStore.h"
#include "gui/ui/ViewPlacement.h"
#include "gui/platform/QtRegistry.h"

namespace {

class QtRegistryTest : public ::testing::Test {
protected:
    std::unique_ptr<QtRegistry> Open() { return QtRegistry::InFile(m_folder.File("profile.ini")); }

    TempFolder m_folder;
};

std::string AllBytes() {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    return bytes;
}

TEST_F(QtRegistryTest, ValuesUnderNestedSectionsSurviveAReload) {
    // Texts that an INI file could take apart: commas, '@', '=', ';', Windows-1252 bytes.
    const std::string text =
        "TE,FE,\xB0"
        "C;a=b \x80";
    {
        auto registry = Open();
        registry->WriteInt("wetter1/View1", "HGF", -16777215);
        registry->WriteText("wetter1/View1", "TimeS", "06:30:00,01.02.2024,");
        registry->WriteText("wetter1/View1/Sensor2", "KE", text);
        registry->WriteText("wetter1/View1/Sensor2", "SY", "@ByteArray(x)");
        registry->WriteBinary("wetter1/View1", "WP", AllBytes());
        registry->WriteBinary("wetter1/MainFrame", "WP", "");
        ASSERT_TRUE(registry->Flush());
    }
    auto registry = Open();
    EXPECT_EQ(registry->ReadInt("wetter1/View1", "HGF", 0), -16777215);
    EXPECT_EQ(registry->ReadText("wetter1/View1", "TimeS", "?"), "06:30:00,01.02.2024,");
    EXPECT_EQ(registry->ReadText("wetter1/View1/Sensor2", "KE", "?"), text);
    EXPECT_EQ(registry->ReadText("wetter1/View1/Sensor2", "SY", "?"), "@ByteArray(x)");
    EXPECT_EQ(registry->ReadBinary("wetter1/View1", "WP"), AllBytes());
    EXPECT_EQ(registry->ReadBinary("wetter1/MainFrame", "WP"), std::string());
    EXPECT_TRUE(registry->Contains("wetter1/View1/Sensor2", "KE"));
    // "WP" of one section is not "WP" of its parent or child.
    EXPECT_FALSE(registry->Contains("wetter1", "WP"));
    EXPECT_FALSE(registry->Contains("wetter1/View1/Sensor2", "WP"));
}

TEST_F(QtRegistryTest, ValueOfAnotherKindGivesTheDefault) {
    {
        auto registry = Open();
        registry->WriteBinary("s", "bytes", "12");
        registry->WriteText("s", "text", "12x");
        registry->WriteInt("s", "number", 7);
        ASSERT_TRUE(registry->Flush());
    }
    auto registry = Open();
    EXPECT_EQ(registry->ReadInt("s", "bytes", -1), -1);
    EXPECT_EQ(registry->ReadText("s", "bytes", "d"), "d");
    EXPECT_EQ(registry->ReadInt("s", "text", -1), -1);
    EXPECT_FALSE(registry->ReadBinary("s", "text"));
    EXPECT_FALSE(registry->ReadBinary("s", "number"));
    EXPECT_EQ(registry->ReadInt("s", "missing", 3), 3);
    EXPECT_FALSE(registry->Contains("s", "missing"));
}

TEST_F(QtRegistryTest, HandEditedTextWithUnquotedCommasReadsAsWritten) {
    m_folder.Write("profile.ini",
                   "[wetter1]\nView1\\TimeS=06:30:00,01.02.2024,\n"
                   "View1\\TimeE=18:00:15,03.02.2024,\nCountViews=1\n");
    auto registry = Open();
    EXPECT_EQ(registry->ReadText("wetter1/View1", "TimeS", "?"), "06:30:00,01.02.2024,");
    const LayoutStore::DocumentLayout layout =
        LayoutStore::RestoreFirstDocument(*registry, "wetter");
    EXPECT_TRUE(layout.views.at(0).timeStart);
    EXPECT_TRUE(layout.views.at(0).timeEnd);
}

TEST_F(QtRegistryTest, LayoutSurvivesARestartOfTheProgram) {
    LayoutStore::ViewLayout view;
    view.hgf = 0x123456;
    view.ke = "TE,FE,";
    view.placement = AllBytes();
    view.sensorWindows = {{"TE", 255, "40", "-5", 70, std::string("\0\1", 2)}};
    {
        auto registry = Open();
        ASSERT_TRUE(
            LayoutStore::SaveLayout(*registry, "wetter", {{{LayoutStore::ViewLayout{}, view}}}));
        ASSERT_TRUE(LayoutStore::WriteMainPlacement(*registry, "wetter", "main"));
    }
    auto registry = Open();
    const LayoutStore::DocumentLayout layout =
        LayoutStore::RestoreFirstDocument(*registry, "wetter");
    view.section = "wetter1/View2";
    ASSERT_EQ(layout.views.size(), 2u);
    EXPECT_EQ(layout.views[1], view);
    EXPECT_EQ(LayoutStore::ReadMainPlacement(*registry, "wetter"), "main");
}

TEST_F(QtRegistryTest, StoreThatCannotBeWrittenIsReported) {
    m_folder.Write("file", "not a folder");
    auto registry = QtRegistry::InFile(m_folder.File("file/profile.ini"));
    registry->WriteInt("s", "k", 1);
    EXPECT_FALSE(registry->Flush());
    EXPECT_EQ(registry->ReadInt("s", "k", 0), 1);
}

TEST(QtRegistryUserProfile, LiesInTheOrganisationsFolderNamedAfterTheProgram) {
    // Moves the user's settings folder for the rest of this process, away from the real profile.
    static TempFolder home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(home.Path()));
    {
        QtRegistry registry("wetter");
        registry.WriteInt("Documents", "CountDoc", 2);
        ASSERT_TRUE(registry.Flush());
        EXPECT_EQ(registry.FileName(), home.Path() + "/Norvika GmbH/wetter.conf");
    }
    EXPECT_EQ(QtRegistry("wetter").ReadInt("Documents", "CountDoc", 0), 2);
}

TEST(ViewPlacement, WidgetPlacementComesBack) {
    QWidget original;
    original.setGeometry(40, 50, 320, 200);
    const std::string placement = PlacementOf(original);

    QWidget restored;
    restored.setGeometry(0, 0, 100, 100);
    ASSERT_TRUE(RestorePlacement(restored, placement));
    EXPECT_EQ(restored.geometry(), original.geometry());

    EXPECT_FALSE(RestorePlacement(restored, "damaged"));
    EXPECT_EQ(restored.geometry(), original.geometry());
}

TEST(ViewPlacement, FramePlacementInsideTheMainWindowComesBack) {
    QMdiArea area;
    area.resize(800, 600);
    QMdiSubWindow* original = area.addSubWindow(new QWidget);
    original->setGeometry(30, 40, 300, 200);
    const std::string placement = PlacementOf(*original);

    QMdiSubWindow* restored = area.addSubWindow(new QWidget);
    ASSERT_TRUE(RestorePlacement(*restored, placement));
    EXPECT_EQ(restored->geometry(), QRect(30, 40, 300, 200));
}

}  // namespace
