// The station's storage and parameter dialogs, driven like a person would:
// fields filled, boxes ticked, buttons pressed, then station.ini, the
// document and the messages checked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <filesystem>

#include "DialogChecks.h"
#include "FakeTransport.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "gui/app/CMainFrame.h"
#include "gui/app/CWetterApp.h"
#include "gui/comm/CDlgOrtshoehe.h"
#include "gui/comm/CRegenresetDlg.h"
#include "gui/storage/CDatenSpeicherDlg.h"
#include "gui/storage/CDatenSpeichernDlg.h"
#include "platform/IniProfile.h"

namespace {

using StorageOptions::FormatOption;

void Press(QDialog& dialog, QDialogButtonBox::StandardButton which) {
    dialog.findChild<QDialogButtonBox*>()->button(which)->click();
}

class StationDialogsTest : public ::testing::Test {
protected:
    StationDialogsTest() {
        m_world.WriteStation("[Ortshoehe]\nHoehe=312\nAktiv=FALSE\n[Regen]\nReset=7\n", 300);
        m_doc = std::make_unique<CWetterDoc>(m_world.context);
        m_doc->LoadSettings();
    }

    std::string Key(const char* section, const char* key) {
        return m_world.profile.ReadText(m_world.StationFile(), section, key, "<none>");
    }

    ManualWorld m_world{std::time(nullptr)};
    std::unique_ptr<CWetterDoc> m_doc;
};

// ---- storage ----

TEST_F(StationDialogsTest, WriteReadOptionsStoreTheFoldersAndIntervalAndReload) {
    const std::string backup = m_world.folder.File("Sicherung/2024");
    CDatenSpeichernDlg dialog(*m_doc, m_world.ui, "wetter");
    EXPECT_EQ(dialog.windowTitle(), "Write / Read options");
    EXPECT_EQ(dialog.DataFolderField().text().toStdString(), m_world.DataFolder());
    EXPECT_EQ(dialog.IntervalField().value(), 300);
    ShowWindow(dialog);
    ExpectNothingCut(dialog);
    EXPECT_TRUE(dialog.grab().save(Screenshot("storage-options.png")));

    // The folder chooser fills the field; the missing folder is created on request.
    m_world.ui.folder = backup;
    dialog.AdditionalFolderButton().click();
    EXPECT_EQ(dialog.AdditionalFolderField().text().toStdString(), backup);
    dialog.IntervalField().setValue(125);
    m_world.ui.answers = {MsgAnswer::Yes};
    Press(dialog, QDialogButtonBox::Ok);

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(std::filesystem::is_directory(backup));
    const std::vector<std::string> messages = m_world.ui.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("Directory does not exist!"), std::string::npos);
    EXPECT_NE(messages[1].find("For ORB9 only choose"), std::string::npos);
    EXPECT_EQ(Key("Speicherintervall", "VerzeichnisZusatz"), backup);
    EXPECT_EQ(Key("Speicherintervall", "Intervall/Sek"), "125");
    EXPECT_EQ(m_doc->Storage().interval, 125) << "the station loads its settings again";
    EXPECT_EQ(m_doc->Storage().additionalFolder, backup);
}

TEST_F(StationDialogsTest, WriteReadOptionsStayOpenWhenAFolderIsRefused) {
    CDatenSpeichernDlg dialog(*m_doc, m_world.ui, "wetter");
    dialog.DataFolderField().setText(QString::fromStdString(m_world.folder.File("neu")));
    // "No additional directory entered!", then the question for the data folder.
    m_world.ui.answers = {MsgAnswer::Ok, MsgAnswer::No};
    Press(dialog, QDialogButtonBox::Ok);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Key("Speicherintervall", "Verzeichnis"), m_world.DataFolder());
}

TEST_F(StationDialogsTest, DataStorageTakesTheLayoutAtOnceAndTheRestOnAccept) {
    {
        CDatenSpeicherDlg dialog(*m_doc, m_world.ui, "wetter");
        EXPECT_EQ(dialog.windowTitle(), "Data storage");
        ShowWindow(dialog);
        ExpectNothingCut(dialog);
        EXPECT_TRUE(dialog.grab().save(Screenshot("data-storage.png")));
        // Each click changes the layout, even when the dialog is cancelled later.
        const bool semicolon = dialog.FormatBox(FormatOption::SeparatorSemicolon).isChecked();
        dialog.FormatBox(FormatOption::SeparatorSemicolon).click();
        Press(dialog, QDialogButtonBox::Cancel);
        EXPECT_NE(StorageOptions::HasFormatOption(m_doc->Storage().additional,
                                                  FormatOption::SeparatorSemicolon),
                  semicolon);
    }

    CDatenSpeicherDlg dialog(*m_doc, m_world.ui, "wetter");
    dialog.WithLogger().setChecked(true);
    dialog.NotSynchronous().setChecked(true);
    dialog.WithoutLogger().setChecked(true);
    EXPECT_FALSE(dialog.Synchronous().isEnabled());
    EXPECT_TRUE(dialog.NotSynchronous().isChecked());
    // What would break a file name is not taken.
    QTest::keyClicks(&dialog.StorageIdField(), "Da/ch 2");
    EXPECT_EQ(dialog.StorageIdField().text(), "Dach2");
    dialog.VirtualSensorsBox().setChecked(true);
    dialog.ExtensionField().setText("csv");
    Press(dialog, QDialogButtonBox::Ok);

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Key("Speicher-ID", "ID"), "Dach2");
    EXPECT_EQ(Key("Dateninterpretation", "Mit_Speicher"), "1");
    EXPECT_EQ(Key("Dateninterpretation", "Daten_Speichern"), "1");
    EXPECT_EQ(Key("Virtuelle_Sensoren", "Speichern"), "TRUE");
    EXPECT_EQ(m_world.process.settings.dataFileExtension, ".Dach2.orb");
    EXPECT_EQ(m_doc->Storage().additional.extension, "csv");
}

// ---- station parameters ----

TEST_F(StationDialogsTest, AltitudeTakesFourDigitsAndSetsAtOnce) {
    auto link = std::make_shared<FakeTransport>("tcp");
    link->open = true;
    m_world.process.CurrentTransport.Exchange(link);
    CDlgOrtshoehe dialog(*m_doc, m_world.ui, "wetter");
    EXPECT_TRUE(dialog.SetButton().isEnabled());
    EXPECT_EQ(dialog.windowTitle(), "Altitude");
    EXPECT_EQ(dialog.AltitudeField().text(), "312");
    EXPECT_FALSE(dialog.AtStartupBox().isChecked());
    ShowWindow(dialog);
    ExpectNothingCut(dialog);
    EXPECT_TRUE(dialog.grab().save(Screenshot("altitude.png")));

    dialog.AltitudeField().clear();
    QTest::keyClicks(&dialog.AltitudeField(), "1x2345");
    EXPECT_EQ(dialog.AltitudeField().text(), "1234");
    ASSERT_EQ(m_world.ui.Messages().size(), 1u) << "only the fifth digit is reported";
    EXPECT_EQ(m_world.ui.Messages()[0],
              "Es k\xF6nnen nur Ortsh\xF6hen bis maximal 9999m angegeben werden!");

    dialog.SetButton().click();
    EXPECT_TRUE(dialog.isVisible()) << "SET keeps the dialog open";
    EXPECT_EQ(m_world.process.PendingCommandText.Text(), "!O1234\r\n");
    EXPECT_EQ(Key("Ortshoehe", "Hoehe"), "1234");

    m_world.process.PendingCommandEvent.Reset();
    dialog.AltitudeField().setText("0");
    dialog.AtStartupBox().click();
    EXPECT_EQ(Key("Ortshoehe", "Aktiv"), "TRUE");
    EXPECT_EQ(m_world.process.PendingCommandText.Text(), "!O0\r\n");
    EXPECT_TRUE(m_world.process.PendingCommandEvent.IsSet());
}

TEST_F(StationDialogsTest, AltitudeWithoutALinkIsKeptForTheNextConnect) {
    CDlgOrtshoehe dialog(*m_doc, m_world.ui, "wetter");
    ShowWindow(dialog);
    EXPECT_FALSE(dialog.SetButton().isEnabled()) << "nothing could take the command now";

    QTest::keyClick(&dialog.AltitudeField(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&dialog.AltitudeField(), Qt::Key_Backspace);
    EXPECT_EQ(Key("Ortshoehe", "Hoehe"), "312") << "an empty field is no altitude";
    QTest::keyClicks(&dialog.AltitudeField(), "455");
    QTest::mouseClick(&dialog.AtStartupBox(), Qt::LeftButton, {},
                      dialog.AtStartupBox().rect().center());
    EXPECT_TRUE(dialog.AtStartupBox().isChecked());
    EXPECT_EQ(Key("Ortshoehe", "Aktiv"), "TRUE");
    EXPECT_EQ(Key("Ortshoehe", "Hoehe"), "455");
    EXPECT_FALSE(m_world.process.PendingCommandEvent.IsSet())
        << "nothing would take it; the next connect sends the stored altitude";

    QTest::keyClick(&dialog.AltitudeField(), Qt::Key_Backspace);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(Key("Ortshoehe", "Hoehe"), "45") << "what was typed stays set";
    EXPECT_FALSE(m_world.process.PendingCommandEvent.IsSet());
}

TEST_F(StationDialogsTest, PrecipitationResetStoresTheHour) {
    CRegenresetDlg dialog(*m_doc);
    EXPECT_EQ(dialog.windowTitle(), "Reset for precipitation");
    EXPECT_EQ(dialog.HourField().value(), 7);
    ShowWindow(dialog);
    ExpectNothingCut(dialog);
    EXPECT_TRUE(dialog.grab().save(Screenshot("precipitation-reset.png")));
    dialog.HourField().setValue(23);
    QTest::keyClick(&dialog.HourField(), Qt::Key_Up);
    EXPECT_EQ(dialog.HourField().value(), 0) << "the hour wraps round midnight";
    dialog.HourField().setValue(5);
    dialog.AcceptButton().click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Key("Regen", "Reset"), "5");
    EXPECT_EQ(m_doc->Interpretation().resetHour, 5);
    EXPECT_EQ(m_doc->Interpretation().resetCommand, "!R5");
}

// ---- first start ----

TEST(FirstStart, OpensTheStorageOptionsWithoutWaitingForThem) {
    TempFolder home;
    CWetterApp app(home.File("neu"), std::make_unique<ScriptedUi>());
    ASSERT_TRUE(app.InitInstance({"neu"}));
    CMainFrame& frame = *app.MainFrame();
    auto* storage = frame.findChild<CDatenSpeichernDlg*>();
    ASSERT_NE(storage, nullptr);
    EXPECT_TRUE(storage->isVisible());
    EXPECT_EQ(storage->windowModality(), Qt::WindowModal);
    storage->reject();
    frame.close();
}

}  // namespace
