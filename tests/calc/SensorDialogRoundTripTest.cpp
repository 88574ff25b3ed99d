// What the sensor dialogs show of a loaded sensor and save again must load
// back as it was, whatever define.ini and intern.ini held.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TempFolder.h"
#include "calc/CSensorDefine.h"
#include "calc/SensorDisplayInput.h"
#include "calc/StationSensorDefine.h"
#include "model/CSensoren.h"
#include "model/SensorFiles.h"
#include "platform/IniProfile.h"

namespace {

class SensorDialogRoundTrip : public ::testing::Test {
protected:
    TempFolder folder;
    IniProfile profile;
    std::string defineFile = folder.File("define.ini");
    std::string internFile = folder.File("intern.ini");
};

// The dialogs write the threshold's text back: a number beyond float's range
// must not come back as another threshold.
TEST_F(SensorDialogRoundTrip, ThresholdTextLoadsBackAsTheSameThreshold) {
    for (const char* stored : {"3e39e", "-3e39", "0.25", "1e38"}) {
        folder.Write("define.ini", std::string("[TA]\nAktivitaet Wert=") + stored + "\n");
        const std::unique_ptr<CSensoren> loaded = ReadMeasuredSensor(profile, defineFile, "TA");
        const std::string shown = DisplayInputOf(*loaded).activityThreshold;

        ASSERT_TRUE(profile.WriteString(defineFile, "TA", "Aktivitaet Wert", shown));
        const std::unique_ptr<CSensoren> again = ReadMeasuredSensor(profile, defineFile, "TA");
        EXPECT_EQ(DisplayInputOf(*again).activityThreshold, shown) << stored;
        EXPECT_EQ(again->m_activityThreshold >= 3e38f, loaded->m_activityThreshold >= 3e38f)
            << stored;
        EXPECT_EQ(again->m_activityThreshold <= -3e38f, loaded->m_activityThreshold <= -3e38f)
            << stored;
    }
}

// A name cut at its length can end up between quotes the profile would take
// off; a name or unit typed in quotes is the same case.
const char* const kQuotedNames[] = {
    "\"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\"yyy",  // 49 characters kept
    "\"\"Temperature\"\"",
    "'Rain'",
};

TEST_F(SensorDialogRoundTrip, StationSensorWithAQuotedNameStoresAndLoadsBackTheSame) {
    for (const char* name : kQuotedNames) {
        folder.Write("define.ini", std::string("[TA]\nName=") + name +
                                       "\nUnit='C'\nUntergrenze Wert=-40\nObergrenze Wert=60\n");
        StationSensorDefine dialog(profile, defineFile);
        const StationSensorInput input =
            dialog.InputFrom(*ReadMeasuredSensor(profile, defineFile, "TA"));
        ASSERT_FALSE(StationSensorDefine::Validate(input)) << name;
        ASSERT_TRUE(dialog.Store(input));
        EXPECT_EQ(dialog.InputFrom(*ReadMeasuredSensor(profile, defineFile, "TA")), input) << name;
    }
}

TEST_F(SensorDialogRoundTrip, VirtualSensorWithAQuotedNameStoresAndLoadsBackTheSame) {
    for (const char* name : kQuotedNames) {
        folder.Write("intern.ini", std::string("[Interne Sensoren]\niKennung=TD,\n[TD]\nName=") +
                                       name +
                                       "\nUnit=C\nFormel=TA\nUntergrenze Wert=-40\n"
                                       "Obergrenze Wert=60\n");
        CSensorDefine dialog(profile, internFile, {"TA"});
        const VirtualSensorInput input =
            CSensorDefine::InputFrom(*ReadVirtualSensor(profile, internFile, "TD"));
        const CSensorDefine::Validation validation = dialog.Validate(input, false);
        ASSERT_TRUE(validation.sensor) << name << ": " << validation.message;
        ASSERT_TRUE(dialog.Store(*validation.sensor, false));
        const std::unique_ptr<CSensoren> loaded = ReadVirtualSensor(profile, internFile, "TD");
        EXPECT_EQ(loaded->m_name, validation.sensor->input.name) << name;
    }
}

}  // namespace
