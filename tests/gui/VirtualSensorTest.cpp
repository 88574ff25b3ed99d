// The "Virtual sensor" window and the function assistant, driven like a
// person would: fields filled, buttons pressed; then intern.ini, the running
// document and the next stored record checked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "DialogChecks.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "app/VirtualSensorDefinition.h"
#include "gui/calc/CFunktionsHilfe.h"
#include "gui/calc/CSensorDefineDlg.h"
#include "model/CSensoren.h"
#include "storage/CAktuell.h"

namespace {

void PressOk(QDialog& dialog) {
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

// A station with TE and FE that stores every record it is given, virtual sensors too.
class VirtualSensorTest : public ::testing::Test {
protected:
    VirtualSensorTest() {
        m_world.WriteStation(
            "[Dateninterpretation]\nMit_Speicher=1\nDaten_Speichern=0\n"
            "[Virtuelle_Sensoren]\nSpeichern=TRUE\n");
        m_doc = std::make_unique<CWetterDoc>(m_world.context);
        m_doc->SensorIdentifiers() = {"TE", "FE"};
        m_doc->LoadSensorDefinitions();
        m_definition = std::make_unique<VirtualSensorDefinition>(*m_doc);
    }

    std::unique_ptr<CSensorDefineDlg> Dialog(const CSensoren* sensor = nullptr) {
        return std::make_unique<CSensorDefineDlg>(*m_definition, sensor, m_world.ui, "wetter");
    }
    void FillValid(CSensorDefineDlg& dialog) {
        dialog.IdentifierField().setText("TD");
        dialog.NameField().setText("Doppelt");
        dialog.UnitField().setText("C");
        dialog.FormulaField().setText("TE * 2");
        dialog.LowerLimitField().setText("-100");
        dialog.UpperLimitField().setText("100");
    }
    std::string Intern() const { return m_world.folder.Read("wetterintern.ini"); }
    const CAktuell* Current(const char* identifier) const {
        for (const auto& current : m_doc->Sensors().CurrentValues())
            if (current->m_identifier == identifier) return current.get();
        return nullptr;
    }

    ManualWorld m_world{Utc(2024, 3, 5, 12, 0)};
    std::unique_ptr<CWetterDoc> m_doc;
    std::unique_ptr<VirtualSensorDefinition> m_definition;
};

TEST_F(VirtualSensorTest, NewSensorIsStoredComputedAndInTheNextStoredRecord) {
    auto dialog = Dialog();
    EXPECT_EQ(dialog->windowTitle(), "Virtual sensor");
    EXPECT_TRUE(dialog->IdentifierField().isEnabled());
    FillValid(*dialog);
    ShowWindow(*dialog);
    ExpectNothingCut(*dialog);
    EXPECT_TRUE(dialog->grab().save(Screenshot("virtual-sensor.png")));

    PressOk(*dialog);

    ASSERT_EQ(dialog->result(), QDialog::Accepted) << testing::PrintToString(m_world.ui.Messages());
    EXPECT_NE(Intern().find("[Interne Sensoren]\r\niKennung=TD,\r\n[TD]\r\nName=Doppelt\r\n"
                            "Unit=C\r\nNachKomma=2\r\nFormel=TE*2\r\nFormelKennungen=TE,\r\n"),
              std::string::npos)
        << Intern();
    ASSERT_NE(Current("TD"), nullptr);

    const std::time_t time = Utc(2024, 3, 5, 12, 5);
    m_world.clock.SetNow(time);
    m_doc->ProcessLine(Stamp(time) + "TE12.5,FE80,\r\n", true, false);

    EXPECT_FLOAT_EQ(Current("TD")->m_value, 25.0f);
    EXPECT_EQ(m_world.folder.Read("Daten/03_2024.orb"), Stamp(time) + "TE12.5,FE80,TD25.00,\r\n");
}

TEST_F(VirtualSensorTest, CheckShowsItsVerdictAndPutsTheCaretAtTheError) {
    struct Row {
        const char* typed;
        const char* status;
        const char* shown;
        int caret;  // -1: the field keeps its caret
    };
    const Row rows[] = {
        {"TE * 2 + FE", "Term OK!", "TE*2+FE", -1},
        {"1 + X", "Error from character 2.", "1+X", 2},
        {"TD+1", "Error from character 0.", "TD+1", 0},
        {"(TE+1", "Error ->missing bracket", "(TE+1", -1},
        {"SIN(1,2)", "Error from character 4.", "SIN(1,2)", 4},
    };
    auto dialog = Dialog();
    ShowWindow(*dialog);
    for (const Row& row : rows) {
        dialog->FormulaField().setText(row.typed);
        dialog->FormulaField().setCursorPosition(0);
        dialog->CheckButton().click();
        EXPECT_EQ(dialog->StatusText().text(), row.status) << row.typed;
        EXPECT_EQ(dialog->FormulaField().text(), row.shown) << row.typed;
        if (row.caret >= 0) {
            EXPECT_EQ(dialog->FormulaField().cursorPosition(), row.caret) << row.typed;
            EXPECT_FALSE(dialog->FormulaField().hasSelectedText()) << row.typed;
            EXPECT_TRUE(dialog->FormulaField().hasFocus()) << row.typed;
        }
    }
    EXPECT_TRUE(m_world.ui.Messages().empty());

    dialog->FormulaField().clear();
    dialog->CheckButton().click();
    EXPECT_EQ(m_world.ui.Messages(), std::vector<std::string>{"Missing formula!"});
}

TEST_F(VirtualSensorTest, TypedFormulaAndIdentifierBecomeUpperCase) {
    auto dialog = Dialog();
    ShowWindow(*dialog);
    dialog->FormulaField().setFocus();
    QTest::keyClicks(&dialog->FormulaField(), "te+fe");
    dialog->IdentifierField().setFocus();
    QTest::keyClicks(&dialog->IdentifierField(), "tdx");
    EXPECT_EQ(dialog->FormulaField().text(), "TE+FE");
    EXPECT_EQ(dialog->IdentifierField().text(), "TD");
}

TEST_F(VirtualSensorTest, RefusedInputKeepsTheDialogOpenAndStoresNothing) {
    struct Row {
        const char* name;
        std::function<void(CSensorDefineDlg&)> change;
        const char* message;
    };
    const Row rows[] = {
        {"identifier of the station", [](auto& d) { d.IdentifierField().setText("TE"); },
         "New identifier already exists!"},
        {"limit no number", [](auto& d) { d.LowerLimitField().setText("abc"); },
         "Please check upper and lower limit!"},
        {"formula with an unknown name", [](auto& d) { d.FormulaField().setText("TE+XX"); },
         "Phrase not correct!"},
        {"formula of 10000 characters",
         [](auto& d) { d.FormulaField().setText(QString(10000, QLatin1Char('1'))); },
         "Phrase not correct!"},
        {"line end in the name", [](auto& d) { d.NameField().setText("a\nb"); },
         "Sensorname not correct!"},
        {"blank before the name", [](auto& d) { d.NameField().setText(" Doppelt"); },
         "Sensorname begins or ends with a blank!"},
    };
    for (const Row& row : rows) {
        m_world.ui.shown.clear();
        auto dialog = Dialog();
        FillValid(*dialog);
        row.change(*dialog);
        PressOk(*dialog);
        EXPECT_NE(dialog->result(), QDialog::Accepted) << row.name;
        EXPECT_EQ(m_world.ui.Messages(), std::vector<std::string>{row.message}) << row.name;
    }
    EXPECT_EQ(Current("TD"), nullptr);
    EXPECT_EQ(Intern(), "<missing>");
}

TEST_F(VirtualSensorTest, AnInternFileThatCannotBeWrittenIsReportedAndNothingIsAdded) {
    // A folder where intern.ini should be: no file can replace it.
    std::filesystem::create_directory(m_world.folder.File("wetterintern.ini"));
    auto dialog = Dialog();
    FillValid(*dialog);
    PressOk(*dialog);
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    ASSERT_EQ(m_world.ui.Messages().size(), 1u);
    EXPECT_NE(m_world.ui.Messages()[0].find("wetterintern.ini couldn't be written"),
              std::string::npos)
        << m_world.ui.Messages()[0];
    EXPECT_EQ(Current("TD"), nullptr);
}

TEST_F(VirtualSensorTest, EditingChangesTheRecordInPlace) {
    m_world.folder.Write("wetterintern.ini",
                         "[Interne Sensoren]\niKennung=TD,\n[TD]\nName=Alt\nUnit=C\nFormel=TE*2\n"
                         "Untergrenze Wert=-100\nObergrenze Wert=100\nAnzeige Aktivitaet=ja\n"
                         "Aktivitaet Auswahl=1\n");
    m_doc->LoadSensorDefinitions();
    CSensoren* sensor = m_definition->Find("TD");
    ASSERT_NE(sensor, nullptr);
    auto dialog = Dialog(sensor);
    EXPECT_FALSE(dialog->IdentifierField().isEnabled());
    EXPECT_EQ(dialog->NameField().text(), "Alt");
    EXPECT_EQ(dialog->FormulaField().text(), "TE*2");
    EXPECT_EQ(dialog->ThresholdLabel().text(), "Delta:");
    EXPECT_TRUE(dialog->ThresholdField().isEnabled());
    EXPECT_FALSE(dialog->TimeBaseField().isEnabled());

    dialog->NameField().setText("Neu");
    dialog->FormulaField().setText("TE+FE");
    PressOk(*dialog);

    ASSERT_EQ(dialog->result(), QDialog::Accepted) << testing::PrintToString(m_world.ui.Messages());
    EXPECT_EQ(m_definition->Find("TD"), sensor);
    EXPECT_EQ(sensor->m_name, "Neu");
    EXPECT_EQ(Current("TD")->m_formula, "TE+FE");
    EXPECT_EQ(m_doc->Sensors().Sensors().size(), 3u);
}

TEST_F(VirtualSensorTest, AnIdentifierLongerThanANewOneIsShownAndStoredWhole) {
    m_world.folder.Write("wetterintern.ini",
                         "[Interne Sensoren]\r\niKennung=TAU,\r\n[TAU]\r\nName=Alt\r\n"
                         "Unit=C\r\nFormel=TE*2\r\nUntergrenze Wert=-100\r\n"
                         "Obergrenze Wert=100\r\n");
    m_doc->LoadSensorDefinitions();
    auto dialog = Dialog(m_definition->Find("TAU"));
    EXPECT_EQ(dialog->IdentifierField().text(), "TAU");
    dialog->NameField().setText("Neu");
    PressOk(*dialog);

    ASSERT_EQ(dialog->result(), QDialog::Accepted) << testing::PrintToString(m_world.ui.Messages());
    const std::string intern = Intern();
    EXPECT_NE(intern.find("iKennung=TAU,\r\n[TAU]\r\nName=Neu\r\n"), std::string::npos) << intern;
    EXPECT_EQ(intern.find("[TA]"), std::string::npos) << intern;
    EXPECT_EQ(m_doc->Sensors().Sensors().size(), 3u);

    auto fresh = Dialog();
    fresh->IdentifierField().setText("TPX");
    EXPECT_EQ(fresh->IdentifierField().text(), "TP") << "a new one has at most 2 characters";
}

TEST_F(VirtualSensorTest, ReturnPressesOkNotCheckFormula) {
    auto dialog = Dialog();
    FillValid(*dialog);
    ShowWindow(*dialog);
    dialog->NameField().setFocus();
    QTest::keyClick(&dialog->NameField(), Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted) << testing::PrintToString(m_world.ui.Messages());
    EXPECT_NE(Current("TD"), nullptr);

    CFunktionsHilfe assistant(m_world.ui);
    assistant.Functions().setCurrentRow(0);
    ShowWindow(assistant);
    QTest::keyClick(&assistant, Qt::Key_Return);
    EXPECT_EQ(assistant.result(), QDialog::Accepted);
}

TEST_F(VirtualSensorTest, DependentControlsFollowTheirBoxes) {
    auto dialog = Dialog();
    EXPECT_FALSE(dialog->MinScaleField().isEnabled());
    EXPECT_FALSE(dialog->CompleteAreaButton().isEnabled());
    dialog->ConsiderMinBox().setChecked(true);
    dialog->ConsiderMaxBox().setChecked(true);
    EXPECT_TRUE(dialog->MinScaleField().isEnabled());
    EXPECT_TRUE(dialog->CompleteAreaButton().isEnabled());
    dialog->CompleteAreaButton().setChecked(true);
    dialog->ConsiderMaxBox().setChecked(false);
    EXPECT_FALSE(dialog->CompleteAreaButton().isChecked()) << "falls back to the selected area";
    EXPECT_FALSE(dialog->ThresholdField().isEnabled());
    dialog->ActivityBox().setChecked(true);
    EXPECT_TRUE(dialog->ThresholdField().isEnabled());
    EXPECT_EQ(dialog->ThresholdLabel().text(), "Threshold:");
}

TEST_F(VirtualSensorTest, FunctionAssistantAppendsTheCallWithItsPlaceholderSelected) {
    auto dialog = Dialog();
    ShowWindow(*dialog);
    dialog->FormulaField().setText("TE+");
    dialog->FormulaField().setCursorPosition(0);

    WithModal<CFunktionsHilfe>([&] { dialog->HelpButton().click(); },
                               [&](CFunktionsHilfe& assistant) {
        EXPECT_EQ(assistant.windowTitle(), "function assistent");
        ASSERT_EQ(assistant.Functions().count(), 16);
        EXPECT_EQ(assistant.Functions().item(0)->text(), "ABS");
        EXPECT_EQ(assistant.Functions().item(15)->text(), "WURZEL");
        ButtonNamed(assistant, "Insert")->click();
        EXPECT_EQ(m_world.ui.Messages(),
                  std::vector<std::string>{"No function has been selected!"});
        EXPECT_TRUE(assistant.isVisible());

        assistant.Functions().setCurrentItem(
            assistant.Functions().findItems("LOG", Qt::MatchExactly).front());
        EXPECT_EQ(assistant.SyntaxText().text(), "LOG ( Number, Base )");
        EXPECT_EQ(assistant.DescriptionText().text(),
                  "Returns the logarithm of a number with the specified base.");
        EXPECT_EQ(assistant.SyntaxText().font().weight(), QFont::Bold);
        ExpectNothingCut(assistant);
        EXPECT_TRUE(assistant.grab().save(Screenshot("function-assistant.png")));
        ButtonNamed(assistant, "Insert")->click();
    });

    EXPECT_EQ(dialog->FormulaField().text(), "TE+LOG(Number,Base)");
    EXPECT_EQ(dialog->FormulaField().selectedText(), "Number,Base");

    // PI() has nothing to replace: the caret sits between its brackets.
    WithModal<CFunktionsHilfe>([&] { dialog->HelpButton().click(); },
                               [&](CFunktionsHilfe& assistant) {
        const QListWidgetItem* pi = assistant.Functions().findItems("PI", Qt::MatchExactly).front();
        emit assistant.Functions().itemDoubleClicked(const_cast<QListWidgetItem*>(pi));
    });
    EXPECT_EQ(dialog->FormulaField().text(), "TE+LOG(Number,Base)PI()");
    EXPECT_EQ(dialog->FormulaField().cursorPosition(), 22);
    EXPECT_FALSE(dialog->FormulaField().hasSelectedText());
}

}  // namespace
