#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "app/DocumentView.h"
#include "app/OrbsetForm.h"
#include "model/CSensoren.h"

namespace {

// Records what the document told it.
struct RecordingView : DocumentView {
    void ReloadData() override {}
    void DropSensor(const std::string& identifier) override { dropped.push_back(identifier); }
    void SensorChanged(const std::string& identifier, bool reload) override {
        changed.push_back(identifier + (reload ? " reload" : ""));
    }
    std::vector<std::string> dropped;
    std::vector<std::string> changed;
};

// A station with TE (one decimal, -50..100) and FE, and the virtual sensor TP.
class OrbsetFormTest : public ::testing::Test {
protected:
    OrbsetFormTest() {
        m_doc->SensorIdentifiers() = {"TE", "FE"};
        m_doc->LoadSensorDefinitions();
        m_doc->AttachView(&m_view);
        for (const auto& current : m_doc->Sensors().CurrentValues()) {
            current->SetValue(20.0f, 1000);
            current->SetValue(21.0f, 1300);
        }
    }
    ~OrbsetFormTest() override { m_doc->DetachView(&m_view); }

    const CAktuell& Current(const std::string& identifier) const {
        for (const auto& current : m_doc->Sensors().CurrentValues())
            if (current->m_identifier == identifier) return *current;
        throw std::logic_error("no current value " + identifier);
    }
    StationSensorInput OpenTE() {
        m_form.Select(OrbsetForm::List::kStation, "TE");
        return *m_form.EditTarget();
    }

    std::unique_ptr<CWetterDoc> MakeDocument() {
        m_world.WriteStation("");
        m_world.folder.Write("wetterintern.ini",
                             "[Interne Sensoren]\r\niKennung=TP,\r\n[TP]\r\nName=Taupunkt\r\n"
                             "Unit=C\r\nFarbe=255\r\n");
        return std::make_unique<CWetterDoc>(m_world.context);
    }

    ManualWorld m_world{1000};
    std::unique_ptr<CWetterDoc> m_doc = MakeDocument();
    RecordingView m_view;
    OrbsetForm m_form{*m_doc, m_world.ui, "wetter"};
};

TEST_F(OrbsetFormTest, ListsRepairASectionWithoutNameAndKeepWhatIsThere) {
    m_world.folder.Write("wetterdefine.ini",
                         "[TE]\r\nName=Wind 10 m\r\nUnit=km/h\r\n[FE]\r\nUnit=%\r\n");
    m_doc->SensorIdentifiers() = {"TE", "FE", "RA"};
    const std::vector<OrbsetForm::Row> expected{
        {"TE", "Wind 10 m", "km/h"}, {"FE", "", "%"}, {"RA", "", ""}};
    EXPECT_EQ(m_form.StationRows(), expected);
    EXPECT_EQ(m_world.folder.Read("wetterdefine.ini"),
              "[TE]\r\nName=Wind 10 m\r\nUnit=km/h\r\n[FE]\r\nUnit=%\r\nName=\r\n"
              "[RA]\r\nName=\r\nUnit=\r\n");
    EXPECT_EQ(m_form.VirtualRows(), (std::vector<OrbsetForm::Row>{{"TP", "Taupunkt", "C"}}));
}

TEST_F(OrbsetFormTest, TheColourFieldFollowsTheListUsedLast) {
    EXPECT_EQ(m_form.SelectedColour(), std::nullopt);
    m_form.Select(OrbsetForm::List::kVirtual, "TP");
    EXPECT_EQ(m_form.SelectedColour(), 255u);
    EXPECT_EQ(m_form.EditTarget(), std::nullopt) << "no station sensor selected";
}

TEST_F(OrbsetFormTest, ChangingOnlyTheNameKeepsHistoriesAndReattachesTheWindows) {
    const StationSensorInput before = OpenTE();
    StationSensorInput after = before;
    after.name = "Aussen";
    after.colour = 0x0000FF;
    ASSERT_TRUE(m_form.AcceptStationSensor(before, after));
    EXPECT_EQ(m_doc->FindSensor("TE")->m_name, "Aussen");
    EXPECT_EQ(m_doc->FindSensor("TE")->m_colour, 0x0000FFu);
    EXPECT_EQ(Current("TE").m_history.size(), 2u);
    EXPECT_EQ(Current("FE").m_history.size(), 2u);
    EXPECT_EQ(m_view.changed, std::vector<std::string>{"TE"});
}

TEST_F(OrbsetFormTest, ChangingTheUnitClearsEveryHistoryAndShowsTheValueInTheNewUnit) {
    const StationSensorInput before = OpenTE();
    StationSensorInput after = before;
    after.unit = "F";
    after.factor = "1.800000";
    after.offset = "32.000000";
    ASSERT_TRUE(m_form.AcceptStationSensor(before, after));
    EXPECT_TRUE(Current("TE").m_history.empty());
    EXPECT_TRUE(Current("FE").m_history.empty());
    EXPECT_FLOAT_EQ(Current("TE").m_value, 21.0f * 1.8f + 32.0f);
    EXPECT_EQ(m_view.changed, std::vector<std::string>{"TE reload"});
}

TEST_F(OrbsetFormTest, StatisticsOptionsReachTheCurrentValue) {
    const StationSensorInput before = OpenTE();
    StationSensorInput after = before;
    after.showSum = true;
    after.sumMode = 1;
    ASSERT_TRUE(m_form.AcceptStationSensor(before, after));
    EXPECT_TRUE(Current("TE").m_showSum);
    EXPECT_EQ(Current("TE").m_sumMode, 1);
}

TEST_F(OrbsetFormTest, AFileThatCannotBeWrittenChangesNothing) {
    m_world.folder.Write("wetterdefine.ini", "");
    const std::string define = m_world.folder.File("wetterdefine.ini");
    std::filesystem::permissions(define, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    const StationSensorInput before = OpenTE();
    StationSensorInput after = before;
    after.unit = "F";
    EXPECT_FALSE(m_form.AcceptStationSensor(before, after));
    EXPECT_EQ(m_doc->FindSensor("TE")->m_unit, "");
    EXPECT_EQ(Current("TE").m_history.size(), 2u);
    EXPECT_TRUE(m_view.changed.empty());
    std::filesystem::permissions(define, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

TEST_F(OrbsetFormTest, DeletingAVirtualSensorAsksFirst) {
    m_form.Select(OrbsetForm::List::kVirtual, "TP");
    m_world.ui.answers = {MsgAnswer::No};
    EXPECT_FALSE(m_form.DeleteVirtualSensor());
    EXPECT_EQ(m_form.Selection(OrbsetForm::List::kVirtual), std::nullopt);
    EXPECT_NE(m_doc->FindSensor("TP"), nullptr);

    m_form.Select(OrbsetForm::List::kVirtual, "TP");
    EXPECT_TRUE(m_form.DeleteVirtualSensor());
    EXPECT_EQ(m_world.ui.Messages(), (std::vector<std::string>{"Do you really want to delete?",
                                                               "Do you really want to delete?"}));
    EXPECT_EQ(m_doc->FindSensor("TP"), nullptr);
    EXPECT_EQ(m_view.dropped, std::vector<std::string>{"TP"});
    EXPECT_TRUE(m_form.VirtualRows().empty());
}

}  // namespace
