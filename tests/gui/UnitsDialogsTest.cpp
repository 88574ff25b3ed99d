// "Units", "Edit units" and the insert-unit dialog over a small unit.ini:
// lists and selections, every message, and the bytes written.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "DialogChecks.h"
#include "ScriptedUi.h"
#include "StationHome.h"
#include "TempFolder.h"
#include "app/CWetterDoc.h"
#include "calc/UnitFile.h"
#include "gui/calc/CEinheitEinfuegen.h"
#include "gui/calc/CEinheiten.h"
#include "gui/calc/CEinheitenBearbeiten.h"
#include "platform/IniProfile.h"

namespace {

QStringList Items(const QListWidget& list) {
    QStringList items;
    for (int i = 0; i < list.count(); ++i) items << list.item(i)->text();
    return items;
}

void Select(QListWidget& list, const char* text) {
    const auto found = list.findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << text;
    list.setCurrentItem(found.front());
}

// A real press makes the item current before it selects it, unlike setCurrentItem.
void Click(QListWidget& list, const char* text, bool twice = false) {
    const auto found = list.findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << text;
    const QPoint centre = list.visualItemRect(found.front()).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre);
    if (twice) QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, centre);
}

// Shows `dialog` and presses Return in it; a window that opens instead of the
// default button's action is closed again.
void PressReturn(QDialog& dialog) {
    ShowWindow(dialog);
    QTimer closeOther;
    closeOther.setSingleShot(true);
    QObject::connect(&closeOther, &QTimer::timeout, [&dialog] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal != &dialog) modal->close();
    });
    closeOther.start(0);
    QTest::keyClick(&dialog, Qt::Key_Return);
}

const std::string kUnits =
    "[Sensornamenamen]\r\nGruppen=Wind,Temperatur,\r\n"
    "[Temperatur]\r\nEinheiten=C,F,K,\r\nC=1.000000,0.000000,\r\nF=1.800000,32.000000,\r\n"
    "[Wind]\r\nEinheiten=m/s,km/h,\r\nkm/h=1.000000,0.000000,\r\nm/s=0.277778,0.000000,\r\n";

class UnitsDialogsTest : public ::testing::Test {
protected:
    UnitsDialogsTest() { m_folder.Write("wetterunit.ini", kUnits); }
    std::string Bytes() const { return m_folder.Read("wetterunit.ini"); }

    TempFolder m_folder;
    IniProfile m_profile;
    UnitFile m_units{m_profile, m_folder.File("wetterunit.ini")};
    ScriptedUi m_ui;
};

TEST_F(UnitsDialogsTest, UnitsOpensAtTheSensorsUnitAndAcceptsIt) {
    CEinheiten dialog(m_units, "Temperatur", "F", m_ui, "wetter");
    EXPECT_EQ(dialog.windowTitle(), "Units");
    EXPECT_EQ(Items(dialog.GroupList()), (QStringList{"Temperatur", "Wind"}));
    EXPECT_EQ(dialog.GroupList().currentItem()->text(), "Temperatur");
    EXPECT_EQ(Items(dialog.UnitList()), (QStringList{"C", "F", "K"}));
    EXPECT_EQ(dialog.UnitList().currentItem()->text(), "F");
    EXPECT_EQ(dialog.FactorText().text(), "1.800000");
    EXPECT_EQ(dialog.OffsetText().text(), "32.000000");
    ShowWindow(dialog);
    ExpectNothingCut(dialog);
    EXPECT_TRUE(dialog.grab().save(Screenshot("units.png")));

    ButtonNamed(dialog, "Accept")->click();

    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.Choice());
    EXPECT_EQ(dialog.Choice()->group, "Temperatur");
    EXPECT_EQ(dialog.Choice()->unit, "F");
    EXPECT_EQ(dialog.Choice()->conversion, (UnitFile::Conversion{"1.800000", "32.000000"}));
    EXPECT_FALSE(dialog.Choice()->beaufort);
}

TEST_F(UnitsDialogsTest, AUnitIsChosenWithTheMouse) {
    CEinheiten dialog(m_units, "", "", m_ui, "wetter");
    ShowWindow(dialog);
    Click(dialog.GroupList(), "Temperatur");
    EXPECT_EQ(Items(dialog.UnitList()), (QStringList{"C", "F", "K"}));
    Click(dialog.UnitList(), "F");
    EXPECT_EQ(dialog.FactorText().text(), "1.800000");
    EXPECT_EQ(dialog.OffsetText().text(), "32.000000");
    QPushButton* accept = ButtonNamed(dialog, "Accept");
    QTest::mouseClick(accept, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.Choice());
    EXPECT_EQ(dialog.Choice()->unit, "F");

    CEinheiten twice(m_units, "Temperatur", "C", m_ui, "wetter");
    ShowWindow(twice);
    Click(twice.GroupList(), "Wind");
    EXPECT_EQ(Items(twice.UnitList()), (QStringList{"Beaufort", "km/h", "m/s"}));
    Click(twice.UnitList(), "m/s", true);
    EXPECT_EQ(twice.result(), QDialog::Accepted);
    ASSERT_TRUE(twice.Choice());
    EXPECT_EQ(twice.Choice()->group, "Wind");
    EXPECT_EQ(twice.Choice()->conversion, (UnitFile::Conversion{"0.277778", "0.000000"}));
}

TEST_F(UnitsDialogsTest, EditUnitsShowsAndDeletesTheClickedUnit) {
    CEinheitenBearbeiten edit(m_units, "Temperatur", "", m_ui, "wetter");
    ShowWindow(edit);
    Click(edit.UnitList(), "F");
    EXPECT_EQ(edit.FactorText().text(), "1.800000");
    EXPECT_EQ(edit.OffsetText().text(), "32.000000");
    Click(edit.UnitList(), "C");
    QTest::mouseClick(ButtonNamed(edit, "Delete"), Qt::LeftButton);
    EXPECT_EQ(Items(edit.UnitList()), (QStringList{"F", "K"}));
}

TEST(UnitsOfAFreshStation, TheFirstStartBringsUnitsForEverySensor) {
    ManualWorld world(1000);
    CWetterDoc document(world.context);
    UnitFile units(world.profile, world.paths.Named("unit.ini"));
    CEinheiten dialog(units, "", "", world.ui, "wetter");
    EXPECT_EQ(Items(dialog.GroupList()),
              (QStringList{"Direction", "Humidity", "Precipitation", "Pressure", "Radiation",
                           "Temperature", "Wind"}));
    ShowWindow(dialog);
    Click(dialog.GroupList(), "Temperature");
    Click(dialog.UnitList(), "\u00B0C");
    EXPECT_TRUE(dialog.grab().save(Screenshot("units-first-start.png")));
    QTest::mouseClick(ButtonNamed(dialog, "Accept"), Qt::LeftButton);
    ASSERT_TRUE(dialog.Choice());
    EXPECT_EQ(dialog.Choice()->unit, "\260C");
    EXPECT_TRUE(world.ui.shown.empty());
}

TEST_F(UnitsDialogsTest, BeaufortIsOfferedInTheWindGroupAndAccepted) {
    CEinheiten dialog(m_units, "Wind", "Beaufort", m_ui, "wetter");
    EXPECT_EQ(Items(dialog.UnitList()), (QStringList{"Beaufort", "km/h", "m/s"}));
    ButtonNamed(dialog, "Accept")->click();
    ASSERT_TRUE(dialog.Choice());
    EXPECT_TRUE(dialog.Choice()->beaufort);
}

TEST_F(UnitsDialogsTest, AcceptDoesNothingWithoutAUsableUnit) {
    // K has no key: no factor, no offset.
    CEinheiten dialog(m_units, "Temperatur", "K", m_ui, "wetter");
    EXPECT_EQ(dialog.FactorText().text(), "");
    ButtonNamed(dialog, "Accept")->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.Choice());

    CEinheiten nothing(m_units, "", "", m_ui, "wetter");
    EXPECT_EQ(nothing.UnitList().count(), 0);
    ButtonNamed(nothing, "Accept")->click();
    EXPECT_NE(nothing.result(), QDialog::Accepted);
    EXPECT_TRUE(m_ui.Messages().empty());

    ButtonNamed(nothing, "Edit unit")->click();
    EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{"Please choose a units group!"});
}

TEST_F(UnitsDialogsTest, EditUnitsAddsThroughTheInsertDialogAndDeletes) {
    CEinheiten units(m_units, "Wind", "m/s", m_ui, "wetter");
    WithModal<CEinheitenBearbeiten>([&] { ButtonNamed(units, "Edit unit")->click(); },
                                    [&](CEinheitenBearbeiten& edit) {
        EXPECT_EQ(edit.windowTitle(), "Edit units");
        EXPECT_EQ(Items(edit.UnitList()), (QStringList{"km/h", "m/s"}));
        EXPECT_EQ(edit.UnitList().currentItem()->text(), "m/s");
        EXPECT_EQ(edit.FactorText().text(), "0.277778");

        WithModal<CEinheitEinfuegen>([&] { ButtonNamed(edit, "New")->click(); },
                                     [&](CEinheitEinfuegen& insert) {
            ShowWindow(insert);
            ExpectNothingCut(insert);
            EXPECT_TRUE(insert.grab().save(Screenshot("insert-unit.png")));
            const std::pair<const char*, const char*> refused[] = {
                {"", "Check your input!"},
                {"a,b", "Check your input!"},
                {"km/h", "Unit already used!"},
            };
            for (const auto& [name, message] : refused) {
                m_ui.shown.clear();
                insert.UnitField().setText(name);
                ButtonNamed(insert, "Ready")->click();
                EXPECT_TRUE(insert.isVisible()) << name;
                EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{message}) << name;
            }
            insert.UnitField().setText("kn");
            insert.FactorField().setText("1,8");
            ButtonNamed(insert, "Ready")->click();
        });

        EXPECT_EQ(Items(edit.UnitList()), (QStringList{"km/h", "kn", "m/s"}));
        EXPECT_EQ(edit.UnitList().currentItem()->text(), "kn");
        EXPECT_EQ(edit.FactorText().text(), "1.000000");
        ShowWindow(edit);
        ExpectNothingCut(edit);
        EXPECT_TRUE(edit.grab().save(Screenshot("edit-units.png")));

        Select(edit.UnitList(), "m/s");
        ButtonNamed(edit, "Delete")->click();
        EXPECT_EQ(Items(edit.UnitList()), (QStringList{"km/h", "kn"}));
        ButtonNamed(edit, "OK")->click();
    });

    EXPECT_EQ(Bytes(),
              "[Sensornamenamen]\r\nGruppen=Wind,Temperatur,\r\n"
              "[Temperatur]\r\nEinheiten=C,F,K,\r\nC=1.000000,0.000000,\r\nF=1.800000,32.000000,\r\n"
              "[Wind]\r\nEinheiten=km/h,kn,\r\nkm/h=1.000000,0.000000,\r\nkn=1.000000,0.000000,\r\n");
    // The deleted unit is gone here too, so it cannot be accepted with its old factor.
    EXPECT_EQ(Items(units.UnitList()), (QStringList{"Beaufort", "km/h", "kn"}));
}

TEST_F(UnitsDialogsTest, EditUnitsMakesANewGroupToChooseFrom) {
    CEinheiten units(m_units, "Wind", "", m_ui, "wetter");
    WithModal<CEinheitenBearbeiten>(
        [&] { ButtonNamed(units, "Edit unit")->click(); },
        [&](CEinheitenBearbeiten& edit) {
            for (const char* refused : {"", "wind"}) {
                m_ui.shown.clear();
                edit.NewGroupField().setText(refused);
                ButtonNamed(edit, "New group")->click();
                EXPECT_EQ(edit.Group(), "Wind");
                EXPECT_EQ(m_ui.Messages().size(), 1u) << refused;
            }
            EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{"Group already used!"});

            edit.NewGroupField().setText("Soil moisture");
            ButtonNamed(edit, "New group")->click();
            EXPECT_EQ(edit.Group(), "Soil moisture");
            EXPECT_EQ(edit.UnitList().count(), 0);
            WithModal<CEinheitEinfuegen>([&] { ButtonNamed(edit, "New")->click(); },
                                         [&](CEinheitEinfuegen& insert) {
                                             insert.UnitField().setText("cb");
                                             ButtonNamed(insert, "Ready")->click();
                                         });
            EXPECT_EQ(Items(edit.UnitList()), QStringList{"cb"});
            ShowWindow(edit);
            ExpectNothingCut(edit);
            EXPECT_TRUE(edit.grab().save(Screenshot("edit-units-new-group.png")));
            ButtonNamed(edit, "OK")->click();
        });

    EXPECT_EQ(Items(units.GroupList()), (QStringList{"Soil moisture", "Temperatur", "Wind"}));
    EXPECT_EQ(units.GroupList().currentItem()->text(), "Soil moisture");
    EXPECT_EQ(Items(units.UnitList()), QStringList{"cb"});
}

TEST_F(UnitsDialogsTest, ReturnPressesTheButtonThatEndsEachDialog) {
    CEinheiten units(m_units, "Temperatur", "F", m_ui, "wetter");
    PressReturn(units);
    EXPECT_EQ(units.result(), QDialog::Accepted) << "Accept";

    CEinheitenBearbeiten edit(m_units, "Temperatur", "F", m_ui, "wetter");
    PressReturn(edit);
    EXPECT_EQ(edit.result(), QDialog::Accepted) << "OK, not New";

    CEinheitEinfuegen insert({}, m_ui, "wetter");
    insert.UnitField().setText("kn");
    PressReturn(insert);
    EXPECT_EQ(insert.result(), QDialog::Accepted) << "Ready";
    EXPECT_TRUE(m_ui.Messages().empty());
}

TEST_F(UnitsDialogsTest, AUnitFileThatCannotBeWrittenIsReported) {
    UnitFile gone(m_profile, m_folder.File("gone/wetterunit.ini"));
    CEinheitenBearbeiten edit(gone, "Wind", "", m_ui, "wetter");
    WithModal<CEinheitEinfuegen>([&] { edit.NewUnit(); }, [&](CEinheitEinfuegen& insert) {
        insert.UnitField().setText("kn");
        ButtonNamed(insert, "Ready")->click();
    });
    EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{"Can't write the unit file!"});
    EXPECT_EQ(edit.UnitList().count(), 0);
}

}  // namespace
