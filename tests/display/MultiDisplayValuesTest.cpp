#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "app/DocumentView.h"
#include "display/MultiDisplayValues.h"
#include "model/MissingValue.h"
#include "storage/CAktuell.h"
#include "storage/CEinlesen.h"
#include "storage/CListGraph.h"

namespace {

constexpr std::time_t kNow = 1720612800;  // 2024-07-10 12:00:00 UTC

// ---- Directions ------------------------------------------------------------------------

struct RoundingCase {
    int direction;
    DirectionSteps steps;
    int shown;
};

TEST(MultiDirections, RoundingToStepsOfFiveAndTen) {
    const RoundingCase cases[] = {
        {42, DirectionSteps::kFive, 40},
        {43, DirectionSteps::kFive, 45},
        {47, DirectionSteps::kFive, 45},
        {44, DirectionSteps::kTen, 40},
        {45, DirectionSteps::kTen, 50},
        {0, DirectionSteps::kFive, 0},
        {357, DirectionSteps::kFive, 355},
        {358, DirectionSteps::kFive, 0},
        {354, DirectionSteps::kTen, 350},
        {355, DirectionSteps::kTen, 0},
        {359, DirectionSteps::kNormal, 359},
        // No direction stays none, whatever the steps.
        {kNoDirection, DirectionSteps::kFive, kNoDirection},
        {kNoDirection, DirectionSteps::kTen, kNoDirection},
        {-3, DirectionSteps::kFive, kNoDirection},
        {360, DirectionSteps::kTen, kNoDirection},
    };
    for (const RoundingCase& c : cases)
        EXPECT_EQ(RoundDirection(c.direction, c.steps), c.shown)
            << c.direction << " in steps " << static_cast<int>(c.steps);
}

TEST(MultiDirections, ReadingsOutsideTheCircleAreNoDirection) {
    const std::pair<float, int> cases[] = {
        {0.0f, 0},
        {12.7f, 12},
        {359.9f, 359},
        {-0.5f, kNoDirection},
        {-1.0f, kNoDirection},
        {360.0f, kNoDirection},
        {-99999.0f, kNoDirection},
        {1e30f, kNoDirection},
        {std::numeric_limits<float>::quiet_NaN(), kNoDirection},
        {std::numeric_limits<float>::infinity(), kNoDirection},
    };
    for (const auto& [reading, whole] : cases) EXPECT_EQ(WholeDirection(reading), whole) << reading;
}

// ---- Collecting from the document ----------------------------------------------------------

// A view that shows a period read from the data files, with series filled by hand.
class SeriesView : public DocumentView {
public:
    explicit SeriesView(CWetterDoc& document) : m_reader(document.ReadingSources(), nullptr) {}
    void ReloadData() override {}
    void DropSensor(const std::string&) override {}
    const CEinlesen* Reader() const override { return &m_reader; }

    // Each identifier's series ends with `last` at `time`.
    void Show(const std::vector<std::pair<std::string, float>>& lasts, std::time_t time) {
        std::vector<std::string> identifiers;
        for (const auto& [id, value] : lasts) identifiers.push_back(id);
        m_reader.BuildSeries(identifiers);
        for (const auto& [id, value] : lasts) {
            CListGraph* series = m_reader.FindSeries(id);
            ASSERT_NE(series, nullptr) << id;
            series->ResetForRead();
            series->TakeValue(value - 1, time - 600, CListGraph::kLastValue);
            series->CloseInterval(time - 900, time - 600);
            series->TakeValue(value, time, CListGraph::kLastValue);
            series->CloseInterval(time - 300, time);
            series->FinishRead();
            series->MergeNewPoints();
        }
    }

private:
    CEinlesen m_reader;
};

class MultiValuesTest : public ::testing::Test {
protected:
    void SetUp() override { UseUtcZone(); }

    std::unique_ptr<CWetterDoc> Open(int start, std::vector<std::string> identifiers) {
        m_world.WriteStation("[Programmstart]\nStart=" + std::to_string(start) + "\n");
        m_world.folder.Write("wetterdefine.ini",
                             "[WR]\nName=Wind direction\nUnit=deg\nNachKomma=0\n"
                             "[WV]\nName=Wind vector\nUnit=deg\nNachKomma=0\n"
                             "[WG]\nName=Wind speed\nUnit=km/h\nNachKomma=1\n"
                             "[WS]\nName=Gust\nUnit=km/h\nNachKomma=1\n"
                             "[WD]\nName=Average\nUnit=km/h\nNachKomma=1\n"
                             "[TE]\nName=Temperature\nUnit=\xB0"
                             "C\nNachKomma=1\n"
                             "[FE]\nName=Humidity\nUnit=%\nNachKomma=0\n");
        auto document = std::make_unique<CWetterDoc>(m_world.context);
        document->SensorIdentifiers() = std::move(identifiers);
        document->LoadSensorDefinitions();
        return document;
    }

    static void SetCurrent(CWetterDoc& document, const std::string& id, float value,
                           std::time_t time) {
        for (const auto& current : document.Sensors().CurrentValues()) {
            if (current->m_identifier != id) continue;
            current->m_value = value;
            current->m_time = time;
        }
    }

    ManualWorld m_world{kNow};
    MultiDisplaySettings m_settings;
};

TEST_F(MultiValuesTest, AConnectingStationShowsItsCurrentValues) {
    // The station sends no WD; XX names no sensor at all.
    const auto document = Open(1, {"WR", "WV", "WG", "WS", "TE", "FE"});
    const std::time_t received = kNow - 30;
    for (const auto& [id, value] :
         {std::pair{"WR", 43.8f}, std::pair{"WV", 359.2f}, std::pair{"WG", 12.5f},
          std::pair{"WS", 30.1f}, std::pair{"TE", 21.5f}, std::pair{"FE", -99999.0f}})
        SetCurrent(*document, id, value, received);
    m_settings.additionalIds = {"TE", "FE", "XX", "WG", "TE"};

    const MultiDisplayValues values =
        CollectMultiValues(*document, m_settings, DirectionSteps::kFive, kNow);
    EXPECT_EQ(values.mainDirection, 45);
    EXPECT_EQ(values.secondDirection, 359) << "never rounded";
    EXPECT_FLOAT_EQ(values.speed.value, 12.5f);
    EXPECT_EQ(values.speed.unit, "km/h");
    EXPECT_EQ(values.speed.digits, 1);
    EXPECT_FLOAT_EQ(values.peak.value, 30.1f);
    EXPECT_FLOAT_EQ(values.average.value, kMissingValue) << "not sent: no plausible -1";
    EXPECT_EQ(values.average.unit, "");

    EXPECT_EQ(values.additional[0].name, "Temperature");
    EXPECT_EQ(values.additional[0].unit,
              "\xB0"
              "C");
    EXPECT_FLOAT_EQ(values.additional[0].value, 21.5f);
    EXPECT_FLOAT_EQ(values.additional[1].value, -99999.0f);
    EXPECT_EQ(values.additional[2].name, "----");
    EXPECT_EQ(values.additional[2].unit, "");
    EXPECT_FLOAT_EQ(values.additional[2].value, kNotFoundValue);
    EXPECT_EQ(values.timeText, "11:59:30    10.07.24");
}

TEST_F(MultiValuesTest, TheMasterChoiceSwapsMainAndSecondDirection) {
    const auto document = Open(1, {"WR", "WV"});
    SetCurrent(*document, "WR", 43.0f, kNow);
    SetCurrent(*document, "WV", 122.0f, kNow);
    m_settings.directionMaster = 2;
    const MultiDisplayValues values =
        CollectMultiValues(*document, m_settings, DirectionSteps::kTen, kNow);
    EXPECT_EQ(values.directionMaster, 2);
    EXPECT_EQ(values.mainDirection, 120);
    EXPECT_EQ(values.secondDirection, 43);
}

TEST_F(MultiValuesTest, MissingOrBrokenDirectionsAreNoDirectionInAnySteps) {
    const auto document = Open(1, {"WV", "TE"});
    SetCurrent(*document, "WV", -99999.0f, kNow);
    for (DirectionSteps steps :
         {DirectionSteps::kNormal, DirectionSteps::kFive, DirectionSteps::kTen}) {
        const MultiDisplayValues values = CollectMultiValues(*document, m_settings, steps, kNow);
        EXPECT_EQ(values.mainDirection, kNoDirection) << "no WR sensor";
        EXPECT_EQ(values.secondDirection, kNoDirection) << "WV reads -99999";
    }
}

TEST_F(MultiValuesTest, AStationWithoutConnectionShowsTheLastValuesOfItsDiagrams) {
    const auto document = Open(0, {"WR", "WV", "TE", "FE"});
    SetCurrent(*document, "TE", 99.0f, kNow);  // not used: the station does not connect
    SeriesView first(*document);
    SeriesView second(*document);
    first.Show({{"TE", 20.0f}, {"WR", 200.0f}}, kNow - 3600);
    second.Show({{"FE", 70.0f}, {"TE", 18.0f}}, kNow - 7200);
    document->AttachView(&first);
    document->AttachView(&second);

    m_settings.additionalIds = {"TE", "FE", "DR", "WV", "SO"};
    const MultiDisplayValues values =
        CollectMultiValues(*document, m_settings, DirectionSteps::kNormal, kNow);
    EXPECT_EQ(values.mainDirection, 200);
    EXPECT_EQ(values.secondDirection, kNoDirection);
    EXPECT_FLOAT_EQ(values.additional[0].value, 18.0f) << "the last view holding TE wins";
    EXPECT_FLOAT_EQ(values.additional[1].value, 70.0f);
    EXPECT_FLOAT_EQ(values.additional[2].value, kNotFoundValue) << "DR names no sensor";
    EXPECT_EQ(values.additional[2].name, "----");
    EXPECT_FLOAT_EQ(values.additional[3].value, kMissingValue) << "WV is in no diagram";
    EXPECT_EQ(values.additional[3].name, "Wind vector");
    EXPECT_FLOAT_EQ(values.speed.value, kMissingValue) << "WG names no sensor";
    EXPECT_EQ(values.timeText, "11:00:00    10.07.24") << "first series of the first view";

    document->DetachView(&first);
    document->DetachView(&second);
}

TEST_F(MultiValuesTest, WithoutAnyDataTheTimeIsThePresent) {
    for (int start : {0, 1}) {
        const auto document = Open(start, {"TE"});
        const MultiDisplayValues values =
            CollectMultiValues(*document, m_settings, DirectionSteps::kNormal, kNow);
        EXPECT_EQ(values.timeText, "12:00:00    10.07.24") << "start " << start;
        EXPECT_EQ(values.mainDirection, kNoDirection);
    }
}

TEST(MultiSensorMenu, ListsNamedSensorsAndChoosesByIdentifier) {
    ManualWorld world(kNow);
    world.WriteStation("");
    world.folder.Write("wetterdefine.ini",
                       "[TE]\nName=Temperature\n[FE]\nName=\n[WR]\nName=Wind dir\n");
    CWetterDoc document(world.context);
    document.SensorIdentifiers() = {"TE", "FE", "WR"};
    document.LoadSensorDefinitions();
    const std::vector<std::string> entries = SensorMenuEntries(document.Sensors());
    EXPECT_EQ(entries, (std::vector<std::string>{"TE  Temperature", "WR  Wind dir"}));
    EXPECT_EQ(IdentifierOfEntry(entries[1]), "WR");
    EXPECT_EQ(IdentifierOfEntry("XY"), "XY");
}

}  // namespace
