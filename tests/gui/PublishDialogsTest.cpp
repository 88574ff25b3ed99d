// The upload settings dialogs, driven like a person would: fields filled,
// boxes ticked, buttons pressed, then the settings files and messages checked.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <sys/stat.h>

#include "DialogChecks.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "gui/publish/CDlgAwekas.h"
#include "gui/publish/CDlgHTTPUpload.h"
#include "platform/IniProfile.h"
#include "publish/AwekasSettings.h"
#include "publish/CHttpUpload.h"

namespace {

void Press(QDialog& dialog, QDialogButtonBox::StandardButton which) {
    dialog.findChild<QDialogButtonBox*>()->button(which)->click();
}

unsigned Mode(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 0777u) : 0u;
}

// ---- HTTP upload ----

class HttpUploadDialogTest : public ::testing::Test {
protected:
    HttpUploadDialogTest() {
        m_folder.Write("http_up.ini",
                       "[HTTP]\r\nDatenbank=wetter\r\nTabelle=daten\r\nPfad=http://example.org/"
                       "in.php\r\nBenutzer=anna\r\nPasswort=geheim\r\nProxy=proxy.lan\r\nPort=3128\r\n");
        m_upload.LoadUploadSettings();
    }

    TempFolder m_folder;
    IniProfile m_profile;
    CHttpUpload m_upload{m_profile, m_folder.File("http_up.ini")};
    ScriptedUi m_ui;
};

TEST_F(HttpUploadDialogTest, OpensWithTheSettingsAndOkSavesTheFields) {
    CDlgHTTPUpload dialog(m_upload, false, m_ui, "wetter");
    EXPECT_EQ(dialog.windowTitle(), "HTTP upload settings");
    EXPECT_FALSE(dialog.ActiveBox().isChecked());
    EXPECT_EQ(dialog.PathField().text(), "http://example.org/in.php");
    EXPECT_EQ(dialog.DatabaseField().text(), "wetter");
    EXPECT_EQ(dialog.TableField().text(), "daten");
    EXPECT_EQ(dialog.UserField().text(), "anna");
    EXPECT_EQ(dialog.PasswordField().text(), "geheim");
    EXPECT_EQ(dialog.PasswordField().echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.ProxyAddressField().text(), "proxy.lan");
    EXPECT_EQ(dialog.ProxyPortField().value(), 3128);

    ShowWindow(dialog);
    ExpectNothingCut(dialog);
    EXPECT_TRUE(dialog.grab().save(Screenshot("http-upload.png")));

    dialog.ActiveBox().setChecked(true);
    dialog.PathField().setText(" http://127.0.0.1:8080/db.php ");
    dialog.UserField().setText("Bj\u00F6rn & Co");
    dialog.ProxyPortField().setValue(8080);
    Press(dialog, QDialogButtonBox::Ok);

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.UploadActive());
    EXPECT_EQ(m_upload.Settings().ScriptPath, "http://127.0.0.1:8080/db.php");
    EXPECT_EQ(m_folder.Read("http_up.ini"),
              "[HTTP]\r\nDatenbank=wetter\r\nTabelle=daten\r\nPfad=http://127.0.0.1:8080/db.php\r\n"
              "Benutzer=Bj\xF6rn & Co\r\nPasswort=geheim\r\nProxy=proxy.lan\r\nPort=8080\r\n");
    EXPECT_EQ(Mode(m_upload.File()), 0600u) << "the file holds a password";
    EXPECT_TRUE(m_ui.shown.empty());
}

TEST_F(HttpUploadDialogTest, CancelKeepsSettingsAndSwitch) {
    const HttpUploadSettings before = m_upload.Settings();
    const std::string file = m_folder.Read("http_up.ini");
    CDlgHTTPUpload dialog(m_upload, true, m_ui, "wetter");
    dialog.ActiveBox().setChecked(false);
    dialog.TableField().setText("andere");
    Press(dialog, QDialogButtonBox::Cancel);
    EXPECT_TRUE(dialog.UploadActive());
    EXPECT_EQ(m_upload.Settings(), before);
    EXPECT_EQ(m_folder.Read("http_up.ini"), file);
}

TEST_F(HttpUploadDialogTest, AFileThatCannotBeWrittenIsShownAndNothingChanges) {
    CHttpUpload upload(m_profile, m_folder.File("gone/http_up.ini"));
    CDlgHTTPUpload dialog(upload, false, m_ui, "wetter");
    dialog.ActiveBox().setChecked(true);
    dialog.UserField().setText("neu");
    Press(dialog, QDialogButtonBox::Ok);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.UploadActive());
    EXPECT_EQ(upload.Settings(), HttpUploadSettings{});
    ASSERT_EQ(m_ui.Messages().size(), 1u);
    EXPECT_NE(m_ui.Messages()[0].find("gone/http_up.ini couldn't be written"), std::string::npos)
        << m_ui.Messages()[0];
}

// ---- AWEKAS ----

// A station whose current values are TE "Temperatur", FE "Feuchte" and SO "Sonne".
class AwekasDialogTest : public ::testing::Test {
protected:
    AwekasDialogTest() {
        m_world.WriteStation("");
        m_world.folder.Write("wetterdefine.ini",
                             "[TE]\nName=Temperatur\n[FE]\nName=Feuchte\n[SO]\nName=Sonne\n");
        m_doc = std::make_unique<CWetterDoc>(m_world.context);
        m_doc->SensorIdentifiers() = {"TE", "FE", "SO"};
        m_doc->LoadSensorDefinitions();
        m_settings.user = "anna";
        m_settings.password = "pw";
        m_settings.proxyAddress = "proxy.lan";
        m_settings.proxyPort = 3128;
        m_settings.proxyUser = "pu";
        m_settings.Sensor(AwekasSensor::kTemperature) = "TE";
        m_settings.Sensor(AwekasSensor::kHumidity) = "FE";
        m_settings.Sensor(AwekasSensor::kUvIndex) = "UV";  // no such sensor here
    }

    std::unique_ptr<CDlgAwekas> Dialog(CDlgAwekas::CheckConnection check = {}) {
        return std::make_unique<CDlgAwekas>(m_settings, m_world.profile, File(),
                                            m_doc->Sensors(), std::move(check), m_world.ui,
                                            "wetter");
    }
    std::string File() const { return m_world.folder.File("awekas.ini"); }

    ManualWorld m_world{std::time(nullptr)};
    std::unique_ptr<CWetterDoc> m_doc;
    AwekasSettings m_settings;
};

TEST_F(AwekasDialogTest, OpensWithTheSettingsAndTheStationsSensors) {
    m_settings.active = true;
    auto dialog = Dialog();
    EXPECT_EQ(dialog->windowTitle(), "AWEKAS Settings");
    EXPECT_TRUE(dialog->ActiveBox().isChecked());
    EXPECT_EQ(dialog->UserField().text(), "anna");
    EXPECT_EQ(dialog->PasswordField().echoMode(), QLineEdit::Password);
    EXPECT_FALSE(dialog->ProxyBox().isChecked());
    EXPECT_EQ(dialog->ProxyAddressField().text(), "proxy.lan");
    EXPECT_EQ(dialog->ProxyPortField().value(), 3128);
    EXPECT_EQ(dialog->ProxyUserField().text(), "pu");
    EXPECT_EQ(dialog->SoftwareField().text(), "KAVO_3.36");
    EXPECT_TRUE(dialog->SoftwareField().isReadOnly());

    QComboBox& temperature = dialog->SensorBox(AwekasSensor::kTemperature);
    ASSERT_EQ(temperature.count(), 3);
    EXPECT_EQ(temperature.itemText(2), "Sonne");
    EXPECT_EQ(temperature.currentText(), "Temperatur");
    EXPECT_EQ(dialog->SensorBox(AwekasSensor::kHumidity).currentText(), "Feuchte");
    // An assignment the station does not have selects nothing.
    EXPECT_EQ(dialog->SensorBox(AwekasSensor::kUvIndex).currentIndex(), -1);
    EXPECT_EQ(dialog->SensorBox(AwekasSensor::kRainRate).currentIndex(), -1);

    ShowWindow(*dialog);
    ExpectNothingCut(*dialog);
    EXPECT_TRUE(dialog->grab().save(Screenshot("awekas.png")));
}

TEST_F(AwekasDialogTest, TheSwitchesEnableTheirFields) {
    auto dialog = Dialog();
    const auto uploadFields = [&] {
        return dialog->UserField().isEnabled() && dialog->PasswordField().isEnabled() &&
               dialog->SensorBox(AwekasSensor::kRainRate).isEnabled();
    };
    const auto proxyFields = [&] {
        return dialog->ProxyAddressField().isEnabled() && dialog->ProxyPortField().isEnabled() &&
               dialog->ProxyUserField().isEnabled() && dialog->ProxyPasswordField().isEnabled();
    };
    EXPECT_FALSE(uploadFields());
    EXPECT_FALSE(proxyFields());
    EXPECT_TRUE(dialog->ProxyBox().isEnabled());
    dialog->ActiveBox().setChecked(true);
    EXPECT_TRUE(uploadFields());
    EXPECT_FALSE(proxyFields());
    dialog->ProxyBox().setChecked(true);
    EXPECT_TRUE(proxyFields());
    dialog->ActiveBox().setChecked(false);
    EXPECT_FALSE(uploadFields());
    EXPECT_TRUE(proxyFields());
}

TEST_F(AwekasDialogTest, OkSavesTheFieldsAndTheChosenSensors) {
    auto dialog = Dialog();
    dialog->ActiveBox().setChecked(true);
    dialog->UserField().setText("max");
    dialog->ProxyBox().setChecked(true);
    dialog->ProxyPasswordField().setText("squid");
    dialog->SensorBox(AwekasSensor::kSolarRadiation).setCurrentIndex(2);
    dialog->SensorBox(AwekasSensor::kTemperature).setCurrentIndex(1);
    Press(*dialog, QDialogButtonBox::Ok);

    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const AwekasSettings saved = LoadAwekasSettings(m_world.profile, File());
    EXPECT_EQ(saved, m_settings) << "the record of the process and the file agree";
    EXPECT_TRUE(saved.active);
    EXPECT_TRUE(saved.proxyOn);
    EXPECT_EQ(saved.user, "max");
    EXPECT_EQ(saved.proxyUser, "pu");
    EXPECT_EQ(saved.proxyPassword, "squid");
    EXPECT_EQ(saved.Sensor(AwekasSensor::kSolarRadiation), "SO");
    EXPECT_EQ(saved.Sensor(AwekasSensor::kTemperature), "FE");
    // A box without a selection keeps what was assigned.
    EXPECT_EQ(saved.Sensor(AwekasSensor::kUvIndex), "UV");
    EXPECT_EQ(Mode(File()), 0600u);
}

TEST_F(AwekasDialogTest, CancelAndAFailedSaveChangeNothing) {
    const AwekasSettings before = m_settings;
    {
        auto dialog = Dialog();
        dialog->UserField().setText("max");
        Press(*dialog, QDialogButtonBox::Cancel);
        EXPECT_EQ(m_settings, before);
        EXPECT_EQ(m_world.folder.Read("awekas.ini"), "<missing>");
    }
    CDlgAwekas dialog(m_settings, m_world.profile, m_world.folder.File("gone/awekas.ini"),
                      m_doc->Sensors(), {}, m_world.ui, "wetter");
    dialog.ActiveBox().setChecked(true);
    Press(dialog, QDialogButtonBox::Ok);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(m_settings, before);
    ASSERT_EQ(m_world.ui.Messages().size(), 1u);
    EXPECT_NE(m_world.ui.Messages()[0].find("couldn't be written"), std::string::npos);
}

TEST_F(AwekasDialogTest, CheckConnectionShowsTheReplyWhenItComes) {
    bool switchedOn = false;
    std::function<void(const std::string&)> pending;
    auto dialog = Dialog([&](std::function<void(const std::string&)> replied) {
        if (!switchedOn) return false;
        pending = std::move(replied);
        return true;
    });

    // Switched off in the saved settings: nothing is sent, and the person hears why.
    dialog->CheckButton().click();
    ASSERT_EQ(m_world.ui.Messages().size(), 1u);
    EXPECT_NE(m_world.ui.Messages()[0].find("press OK first"), std::string::npos);
    EXPECT_TRUE(dialog->CheckButton().isEnabled());

    switchedOn = true;
    dialog->CheckButton().click();
    EXPECT_FALSE(dialog->CheckButton().isEnabled()) << "one check at a time";
    ASSERT_TRUE(pending);
    pending("HTTP/1.0 200 OK\r\n\r\nOK");
    EXPECT_TRUE(dialog->CheckButton().isEnabled());
    ASSERT_EQ(m_world.ui.Messages().size(), 2u);
    EXPECT_EQ(m_world.ui.Messages()[1], "HTTP/1.0 200 OK\r\n\r\nOK");

    // A reply after the dialog closed is shown all the same.
    dialog->CheckButton().click();
    dialog.reset();
    pending("");
    ASSERT_EQ(m_world.ui.Messages().size(), 3u);
    EXPECT_EQ(m_world.ui.Messages()[2], "No reply came from awekas.example.net.");
}

}  // namespace
