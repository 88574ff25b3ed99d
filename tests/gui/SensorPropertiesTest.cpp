// The sensor-properties windows driven like a person would: rows selected,
// fields filled, buttons pressed, then define.ini and the messages checked.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <filesystem>
#include <functional>
#include <memory>

#include "DialogChecks.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "gui/calc/CNewORB.h"
#include "gui/calc/COrbset.h"
#include "gui/display/CDlgWindroseSetts.h"
#include "gui/ui/ColourValue.h"
#include "model/CSensoren.h"

namespace {

constexpr const char* kDefine =
    "[TE]\r\nName=Temperatur\r\nUnit=C\r\nUnitGroup=Temperatur\r\nFaktor=1.000000\r\n"
    "Offset=0.000000\r\nUntergrenze Wert=-50\r\nObergrenze Wert=100\r\nFarbe=255\r\n"
    "NachKomma=1\r\n"
    "[WG]\r\nName=Wind 10 m\r\nUnit=km/h\r\nUnitGroup=Wind\r\nFaktor=1.000000\r\n"
    "Offset=0.000000\r\nUntergrenze Wert=0\r\nObergrenze Wert=250\r\nFarbe=65280\r\n"
    "[FE]\r\nUnit=%\r\n";

// A station with TE, WG and FE (whose section has no "Name") and the virtual sensor TP.
class SensorPropertiesTest : public ::testing::Test {
protected:
    SensorPropertiesTest() {
        m_world.WriteStation("[Ortshoehe]\nHoehe=312\n");
        m_world.folder.Write("wetterdefine.ini", kDefine);
        m_world.folder.Write("wetterintern.ini",
                             "[Interne Sensoren]\r\niKennung=TP,\r\n[TP]\r\nName=Taupunkt\r\n"
                             "Unit=C\r\nFarbe=16711680\r\n");
        m_doc = std::make_unique<CWetterDoc>(m_world.context);
        m_doc->SensorIdentifiers() = {"TE", "WG", "FE"};
        m_doc->LoadSensorDefinitions();
    }

    std::unique_ptr<COrbset> Orbset() {
        return std::make_unique<COrbset>(*m_doc, m_world.ui, "wetter");
    }
    std::string Define() const { return m_world.folder.Read("wetterdefine.ini"); }

    // Opens "Definition of sensors" for `identifier` from "Orbset", lets
    // `fill` work on it and presses OK (or Cancel); what the dialog left.
    struct Outcome {
        bool accepted = false;
        std::vector<std::string> messages;
    };
    Outcome EditStation(COrbset& orbset, int row, const std::function<void(CNewORB&)>& fill,
                        bool ok = true) {
        Outcome outcome;
        orbset.runSensorDialog = [&](CNewORB& dialog) {
            fill(dialog);
            auto* buttons = dialog.findChild<QDialogButtonBox*>();
            buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
            outcome.accepted = dialog.result() == QDialog::Accepted;
            outcome.messages = m_world.ui.Messages();
            return outcome.accepted;
        };
        orbset.StationList().selectRow(row);
        orbset.EditButton().click();
        return outcome;
    }

    ManualWorld m_world{1000};
    std::unique_ptr<CWetterDoc> m_doc;
};

TEST_F(SensorPropertiesTest, OrbsetListsBothKindsOfSensorsAndShowsTheSelectedColour) {
    auto orbset = Orbset();
    EXPECT_EQ(orbset->windowTitle(), "Orbset");
    QTableWidget& station = orbset->StationList();
    ASSERT_EQ(station.columnCount(), 3);
    EXPECT_EQ(station.horizontalHeaderItem(0)->text(), "Sensorlabel");
    EXPECT_EQ(station.horizontalHeaderItem(1)->text(), "Sensorname");
    EXPECT_EQ(station.horizontalHeaderItem(2)->text(), "Unit");
    EXPECT_EQ(station.columnWidth(0), 100);
    EXPECT_EQ(station.columnWidth(1), 117);
    ASSERT_EQ(station.rowCount(), 3);
    EXPECT_EQ(station.item(1, 1)->text(), "Wind 10 m");
    // FE had no "Name": it is initialised, its unit kept.
    EXPECT_EQ(station.item(2, 1)->text(), "");
    EXPECT_EQ(station.item(2, 2)->text(), "%");
    EXPECT_NE(Define().find("[FE]\r\nUnit=%\r\nName=\r\n"), std::string::npos);
    ASSERT_EQ(orbset->VirtualList().rowCount(), 1);
    EXPECT_EQ(orbset->VirtualList().item(0, 1)->text(), "Taupunkt");

    EXPECT_FALSE(orbset->EditButton().isEnabled());
    EXPECT_FALSE(orbset->DefineButton().isEnabled()) << "no virtual-sensor window yet";
    station.selectRow(1);
    EXPECT_TRUE(orbset->EditButton().isEnabled());
    EXPECT_EQ(orbset->ColourField().palette().color(QPalette::Window), ToQColor(65280));
    orbset->VirtualList().selectRow(0);
    EXPECT_EQ(orbset->ColourField().palette().color(QPalette::Window), ToQColor(16711680));
    EXPECT_TRUE(orbset->DeleteButton().isEnabled());

    ShowWindow(*orbset);
    ExpectNothingCut(*orbset);
    EXPECT_TRUE(orbset->grab().save(Screenshot("orbset.png")));
}

TEST_F(SensorPropertiesTest, EnterAndDoubleClickEditTheListUsedLast) {
    auto orbset = Orbset();
    std::vector<std::string> opened;
    orbset->runSensorDialog = [&](CNewORB& dialog) {
        opened.push_back(dialog.LabelField().text().toStdString());
        return false;
    };
    std::vector<std::string> virtuals;
    orbset->SetVirtualSensorHooks([](QWidget*, const std::string&) { return false; },
                                  [&](QWidget*, const std::string& identifier) {
                                      virtuals.push_back(identifier);
                                      return false;
                                  });
    ShowWindow(*orbset);
    orbset->StationList().selectRow(0);
    orbset->StationList().setFocus();
    QTest::keyClick(&orbset->StationList(), Qt::Key_Return);
    emit orbset->StationList().cellDoubleClicked(1, 0);
    orbset->VirtualList().selectRow(0);
    QTest::keyClick(&orbset->VirtualList(), Qt::Key_Enter);
    EXPECT_EQ(opened, (std::vector<std::string>{"TE", "TE"}))
        << "a double click edits the selection, as Edit does";
    EXPECT_EQ(virtuals, std::vector<std::string>{"TP"});
    EXPECT_TRUE(orbset->isVisible()) << "Enter does not close the dialog";
}

TEST_F(SensorPropertiesTest, DefinitionOpensWithTheSensorAndItsDependentControls) {
    auto orbset = Orbset();
    orbset->runSensorDialog = [&](CNewORB& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Definition of sensors");
        EXPECT_EQ(dialog.LabelField().text(), "TE");
        EXPECT_TRUE(dialog.LabelField().isReadOnly());
        EXPECT_EQ(dialog.NameField().text(), "Temperatur");
        EXPECT_TRUE(dialog.UnitField().isReadOnly());
        EXPECT_EQ(dialog.LowerLimitField().text(), "-50");
        EXPECT_EQ(dialog.DigitsBox().value(), 1);
        EXPECT_EQ(dialog.DigitsBox().maximum(), 10);
        EXPECT_EQ(dialog.AltitudeField().text(), "312");
        EXPECT_FALSE(dialog.UnitButton().isEnabled()) << "no units window given";

        EXPECT_FALSE(dialog.MinScaleField().isEnabled());
        EXPECT_FALSE(dialog.CompleteAreaButton().isEnabled());
        dialog.ConsiderMinBox().setChecked(true);
        dialog.ConsiderMaxBox().setChecked(true);
        EXPECT_TRUE(dialog.MinScaleField().isEnabled());
        dialog.CompleteAreaButton().setChecked(true);
        dialog.ConsiderMaxBox().setChecked(false);
        EXPECT_TRUE(dialog.SelectedAreaButton().isChecked()) << "falls back to selected area";

        EXPECT_FALSE(dialog.SumModeButton(2).isEnabled());
        dialog.SumBox().setChecked(true);
        EXPECT_TRUE(dialog.SumModeButton(2).isEnabled());
        dialog.ActivityBox().setChecked(true);
        EXPECT_TRUE(dialog.ThresholdField().isEnabled());
        dialog.ActivityModeButton(1).setChecked(true);
        EXPECT_EQ(dialog.ThresholdLabel().text(), "Delta:");
        dialog.TendencyBox().setChecked(true);
        dialog.TendencyModeButton(0).setChecked(true);
        EXPECT_FALSE(dialog.TimeBaseBox().isEnabled());
        dialog.TendencyModeButton(1).setChecked(true);
        EXPECT_TRUE(dialog.TimeBaseBox().isEnabled());

        ShowWindow(dialog);
        ExpectNothingCut(dialog);
        EXPECT_TRUE(dialog.grab().save(Screenshot("sensor-definition.png")));
        return false;
    };
    orbset->StationList().selectRow(0);
    orbset->EditButton().click();
}

TEST_F(SensorPropertiesTest, OkWritesTheSectionAndTheStationTakesItOver) {
    m_world.ui.colour = 0x123456;
    auto orbset = Orbset();
    orbset->SetUnitChooser([](QWidget*, const std::string& group, const std::string& unit) {
        EXPECT_EQ(group, "Wind");
        EXPECT_EQ(unit, "km/h");
        return std::optional<UnitFile::UnitChoice>({"Wind", "Beaufort", {"", ""}, true});
    });
    const Outcome outcome = EditStation(*orbset, 1, [](CNewORB& dialog) {
        dialog.NameField().setText("B\u00F6e");
        dialog.UnitButton().click();
        dialog.ColourButton().click();
        dialog.ChartBox().setCurrentIndex(1);
        dialog.MaximumBox().setChecked(true);
        dialog.DigitsBox().setValue(0);
    });
    EXPECT_TRUE(outcome.accepted);
    EXPECT_TRUE(outcome.messages.empty());
    const std::string define = Define();
    EXPECT_NE(define.find("[WG]\r\nName=B\xF6"
                          "e\r\nUnit=Beaufort\r\nUnitGroup=Wind\r\n"
                          "Faktor=\r\nOffset=\r\nUntergrenze Wert=0\r\nObergrenze Wert=250\r\n"
                          "Farbe=1193046\r\nNachKomma=0\r\nWindrose=Disabled\r\n"
                          "Min Skalierung=0\r\nMax Skalierung=0\r\n"),
              std::string::npos)
        << define;
    EXPECT_NE(define.find("Anzeige Maximum=ja\r\n"), std::string::npos);
    EXPECT_NE(define.find("Diagrammart=1\r\nSkalierungsbereich=0\r\nBeaufort=ja\r\n[FE]"),
              std::string::npos);
    const CSensoren& wind = *m_doc->FindSensor("WG");
    EXPECT_EQ(wind.m_name,
              "B\xF6"
              "e");
    EXPECT_TRUE(wind.m_beaufort);
    EXPECT_EQ(wind.m_colour, 0x123456u);
    EXPECT_EQ(orbset->StationList().item(1, 2)->text(), "Beaufort") << "the list is refilled";
}

struct RefusalRow {
    const char* name;
    std::function<void(CNewORB&)> fill;
    const char* message;
};

TEST_F(SensorPropertiesTest, OkRefusesInTheValidationOrderAndWritesNothing) {
    const RefusalRow rows[] = {
        {"empty name first",
         [](CNewORB& d) {
             d.NameField().clear();
             d.LowerLimitField().setText("60");
         },
         "Missing sensorname!"},
        {"name that would split a list", [](CNewORB& d) { d.NameField().setText("a,b"); },
         "The sensorname must not contain \",\", \"=\", \"[\", \"]\" or line breaks!"},
        {"blank after the name", [](CNewORB& d) { d.NameField().setText("Temperatur "); },
         "Sensorname begins or ends with a blank!"},
        {"limits the wrong way round",
         [](CNewORB& d) {
             d.LowerLimitField().setText("60");
             d.UpperLimitField().setText("-75");
         },
         "Please check upper and lower limit!"},
        {"limit that is no number", [](CNewORB& d) { d.UpperLimitField().setText("hoch"); },
         "Please check upper and lower limit!"},
        {"scales equal as whole numbers",
         [](CNewORB& d) {
             d.ConsiderMinBox().setChecked(true);
             d.ConsiderMaxBox().setChecked(true);
             d.MinScaleField().setText("10.9");
             d.MaxScaleField().setText("10.1");
         },
         "Min and max scales not correct!"},
    };
    const std::string before = Define();
    for (const RefusalRow& row : rows) {
        SCOPED_TRACE(row.name);
        m_world.ui.shown.clear();
        auto orbset = Orbset();
        const Outcome outcome = EditStation(*orbset, 0, row.fill);
        EXPECT_FALSE(outcome.accepted);
        EXPECT_EQ(outcome.messages, std::vector<std::string>{row.message});
    }
    // The repair of FE's section is all that happened to the file.
    EXPECT_EQ(Define(), std::string(before).insert(before.size(), "Name=\r\n"));
    EXPECT_EQ(m_doc->FindSensor("TE")->m_name, "Temperatur");
}

TEST_F(SensorPropertiesTest, ReturnPressesOk) {
    auto orbset = Orbset();
    bool accepted = false;
    orbset->runSensorDialog = [&](CNewORB& dialog) {
        ShowWindow(dialog);
        QTest::keyClick(&dialog, Qt::Key_Return);
        accepted = dialog.result() == QDialog::Accepted;
        if (dialog.isVisible()) dialog.reject();
        return accepted;
    };
    orbset->StationList().selectRow(0);
    orbset->EditButton().click();
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(m_world.ui.Messages().empty());
}

TEST_F(SensorPropertiesTest, CancelKeepsFileAndSensor) {
    auto orbset = Orbset();
    const std::string before = Define();
    const Outcome outcome = EditStation(
        *orbset, 0, [](CNewORB& d) { d.NameField().setText("Neu"); }, false);
    EXPECT_FALSE(outcome.accepted);
    EXPECT_EQ(Define(), before);
    EXPECT_EQ(m_doc->FindSensor("TE")->m_name, "Temperatur");
}

TEST_F(SensorPropertiesTest, AzimuthScaleEditChoosesTheWindRoseSensorsAndOkStoresThem) {
    auto orbset = Orbset();
    orbset->SetWindRoseEditor([this](QWidget* parent, const WindRoseSettings& settings) {
        return EditWindRoseSettings(parent, settings, m_doc->Sensors());
    });
    const Outcome outcome = EditStation(*orbset, 1, [](CNewORB& dialog) {
        EXPECT_FALSE(dialog.WindRoseButton().isEnabled()) << "only with the box ticked";
        dialog.WindRoseBox().setChecked(true);
        ASSERT_TRUE(dialog.WindRoseButton().isEnabled());
        WithModal<CDlgWindroseSetts>([&] { dialog.WindRoseButton().click(); },
                                     [](CDlgWindroseSetts& settings) {
            QComboBox& first = settings.Sensor1Box();
            EXPECT_EQ(first.itemText(0), "");
            EXPECT_EQ(first.itemText(1), "TE  Temperatur");
            EXPECT_EQ(first.currentIndex(), 0);
            first.setCurrentIndex(2);
            settings.Sensor3Box().setCurrentIndex(1);
            settings.FadeOutBox().setChecked(true);
            ExpectNothingCut(settings);
            EXPECT_TRUE(settings.grab().save(Screenshot("windrose-settings.png")));
            settings.accept();
        });
    });
    ASSERT_TRUE(outcome.accepted);
    EXPECT_NE(Define().find("Windrose=Enabled\r\nWindroseSensor1=WG\r\nWindroseSensor2=\r\n"
                            "WindroseSensor3=TE\r\nSens1Ausblenden=Enabled\r\n"),
              std::string::npos)
        << Define();
    const WindRoseSettings& taken = m_doc->FindSensor("WG")->m_windRose;
    EXPECT_TRUE(taken.enabled);
    EXPECT_EQ(taken.sensor1, "WG");
    EXPECT_EQ(taken.sensor3, "TE");

    // Opened again, the dialog shows what was stored; Cancel changes nothing.
    CDlgWindroseSetts again(taken, m_doc->Sensors());
    EXPECT_EQ(again.Chosen(), taken);
    EXPECT_EQ(again.Sensor1Box().currentText(), "WG  Wind 10 m");
}

TEST_F(SensorPropertiesTest, AReadOnlyDefineIniIsReportedAndTheDialogStaysOpen) {
    auto orbset = Orbset();
    const std::string file = m_world.folder.File("wetterdefine.ini");
    const std::string before = Define();
    std::filesystem::permissions(file, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    const Outcome outcome =
        EditStation(*orbset, 0, [](CNewORB& d) { d.NameField().setText("Neu"); });
    std::filesystem::permissions(file, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_FALSE(outcome.accepted);
    ASSERT_EQ(outcome.messages.size(), 1u);
    EXPECT_EQ(outcome.messages[0].rfind(file + " couldn't be written", 0), 0u)
        << outcome.messages[0];
    EXPECT_EQ(Define(), before);
    EXPECT_EQ(m_doc->FindSensor("TE")->m_name, "Temperatur");
}

TEST_F(SensorPropertiesTest, DeleteSensorAsksAndRemovesTheVirtualSensor) {
    auto orbset = Orbset();
    orbset->VirtualList().selectRow(0);
    orbset->DeleteButton().click();
    EXPECT_EQ(m_world.ui.Messages(), std::vector<std::string>{"Do you really want to delete?"});
    EXPECT_EQ(orbset->VirtualList().rowCount(), 0);
    EXPECT_EQ(m_doc->FindSensor("TP"), nullptr);
    EXPECT_FALSE(orbset->DeleteButton().isEnabled());
    EXPECT_EQ(m_world.folder.Read("wetterintern.ini"), "[Interne Sensoren]\r\niKennung=\r\n");
}

}  // namespace
