#include <gtest/gtest.h>

#include <set>

#include "MemoryRegistry.h"
#include "UtcTime.h"
#include "app/LayoutStore.h"

namespace {

using LayoutStore::DocumentLayout;
using LayoutStore::SensorWindowLayout;
using LayoutStore::ViewLayout;

const std::string kProgram = "wetter";

class LayoutStoreTest : public ::testing::Test {
protected:
    void SetUp() override { UseUtcZone(); }

    static ViewLayout ChangedView(int seed) {
        ViewLayout view;
        view.hgf = 0x00FF00 + seed;
        view.kof = 2 + seed;
        view.daz = 7 + seed;
        view.da = 1 + seed;
        view.sz = 48 + seed;
        view.fg = 1 + seed;
        view.mo = 0 + seed;
        view.es = 0 + seed;
        view.timeStart = Utc(2024, 7, 1, 0, 0, 0) + seed;
        view.timeEnd = Utc(2024, 7, 15, 23, 59, 59) + seed;
        view.ke = "TE,FE,DR" + std::to_string(seed);
        // Geometry bytes hold NULs and high bytes; they must come back unchanged.
        view.placement = std::string("\x01\xD9\xD0\xCB\x00\x03\x00\x00\xFF", 9) + char('0' + seed);
        return view;
    }

    MemoryRegistry m_registry;
};

TEST_F(LayoutStoreTest, SavedViewsOfTheFirstDocumentComeBack) {
    ViewLayout first = ChangedView(0);
    first.sensorWindows = {
        SensorWindowLayout{"TE", 0x0000FF, "40", "-5", 70, std::string("\x00\x01\x02", 3)},
        SensorWindowLayout{"FE", std::nullopt, "50", "0", 100, std::nullopt},
    };
    ViewLayout second = ChangedView(1);
    second.section = "stale/section";  // views are numbered afresh when saved
    const std::vector<DocumentLayout> documents = {{{first, second}}, {{ChangedView(5)}}};

    ASSERT_TRUE(LayoutStore::SaveLayout(m_registry, kProgram, documents));
    const DocumentLayout restored = LayoutStore::RestoreFirstDocument(m_registry, kProgram);

    first.section = "wetter1/View1";
    second.section = "wetter1/View2";
    ASSERT_EQ(restored.views.size(), 2u);
    EXPECT_EQ(restored.views[0], first);
    EXPECT_EQ(restored.views[1], second);
    EXPECT_EQ(m_registry.ReadInt("Documents", "CountDoc", 0), 2);
    EXPECT_EQ(m_registry.ReadInt("wetter2", "CountViews", 0), 1);
}

TEST_F(LayoutStoreTest, WritesExactlyTheSectionsAndKeysOfTheProfile) {
    ViewLayout second;
    second.timeStart = Utc(2024, 3, 9, 8, 5, 7);
    second.timeEnd = Utc(2024, 3, 10, 18, 0, 0);
    second.placement = "wp";
    second.sensorWindows = {SensorWindowLayout{"TE", 255, "50", "0", 100, "swp"}};
    ASSERT_TRUE(LayoutStore::SaveLayout(m_registry, kProgram, {{{ViewLayout{}, second}}}));

    std::set<std::pair<std::string, std::string>> written;
    for (const auto& [key, value] : m_registry.Values()) written.insert(key);
    std::set<std::pair<std::string, std::string>> expected = {{"Documents", "CountDoc"},
                                                              {"wetter1", "CountViews"},
                                                              {"wetter1/View2/Sensor1", "KE"},
                                                              {"wetter1/View2/Sensor1", "WP"},
                                                              {"wetter1/View2/Sensor1", "COLOR"},
                                                              {"wetter1/View2/Sensor1", "SY"},
                                                              {"wetter1/View2/Sensor1", "SV"},
                                                              {"wetter1/View2/Sensor1", "Opacity"},
                                                              {"wetter1/View2", "WP"}};
    for (const char* view : {"wetter1/View1", "wetter1/View2"})
        for (const char* key :
             {"HGF", "KOF", "DAZ", "DA", "SZ", "FG", "MO", "ES", "TimeS", "TimeE", "KE"})
            expected.insert({view, key});
    EXPECT_EQ(written, expected);

    EXPECT_EQ(m_registry.ReadText("wetter1/View2", "TimeS", "?"), "08:05:07,09.03.2024,");
    EXPECT_EQ(m_registry.ReadText("wetter1/View2", "TimeE", "?"), "18:00:00,10.03.2024,");
    EXPECT_EQ(m_registry.ReadText("wetter1/View1", "TimeS", "?"), "");
}

TEST_F(LayoutStoreTest, FreshProfileGivesOneViewWithTheDefaults) {
    const DocumentLayout restored = LayoutStore::RestoreFirstDocument(m_registry, kProgram);
    ViewLayout expected;
    expected.section = "wetter1/View1";
    EXPECT_EQ(restored, DocumentLayout{{expected}});
    const ViewLayout& v = restored.views.at(0);
    EXPECT_EQ((std::vector<int>{v.hgf, v.kof, v.daz, v.da, v.sz, v.fg, v.mo, v.es}),
              (std::vector<int>{16777215, 0, 1, 3, 24, 0, 1, 1}));
    EXPECT_FALSE(LayoutStore::ReadMainPlacement(m_registry, kProgram));
}

TEST_F(LayoutStoreTest, ViewCountIsKeptWithinBounds) {
    const struct {
        int stored;
        std::size_t views;
    } rows[] = {{0, 1}, {-3, 1}, {3, 3}, {1 << 30, LayoutStore::kMaxViews}};
    for (const auto& row : rows) {
        MemoryRegistry registry;
        registry.WriteInt("wetter1", "CountViews", row.stored);
        const DocumentLayout restored = LayoutStore::RestoreFirstDocument(registry, kProgram);
        ASSERT_EQ(restored.views.size(), row.views) << "CountViews " << row.stored;
        EXPECT_EQ(restored.views.back().section, "wetter1/View" + std::to_string(row.views));
    }
}

TEST_F(LayoutStoreTest, OnlyTheFirstDocumentIsRestored) {
    m_registry.WriteInt("Documents", "CountDoc", 2);
    m_registry.WriteInt("wetter2", "CountViews", 3);
    m_registry.WriteInt("wetter2/View1", "HGF", 5);
    const DocumentLayout restored = LayoutStore::RestoreFirstDocument(m_registry, kProgram);
    ASSERT_EQ(restored.views.size(), 1u);
    EXPECT_EQ(restored.views[0].hgf, 16777215);
}

struct PeriodRow {
    const char* name;
    std::optional<std::string> start, end;
    bool taken;
};

class LayoutStorePeriodTest : public LayoutStoreTest,
                              public ::testing::WithParamInterface<PeriodRow> {};

TEST_P(LayoutStorePeriodTest, PeriodIsTakenOnlyWhenBothEndsAreFullDates) {
    const PeriodRow& row = GetParam();
    if (row.start) m_registry.WriteText("wetter1/View1", "TimeS", *row.start);
    if (row.end) m_registry.WriteText("wetter1/View1", "TimeE", *row.end);
    const ViewLayout view = LayoutStore::RestoreFirstDocument(m_registry, kProgram).views.at(0);
    if (row.taken) {
        EXPECT_EQ(view.timeStart, Utc(2024, 2, 1, 6, 30, 0));
        EXPECT_EQ(view.timeEnd, Utc(2024, 2, 3, 18, 0, 15));
    } else {
        EXPECT_FALSE(view.timeStart);
        EXPECT_FALSE(view.timeEnd);
    }
}

const std::string kStart = "06:30:00,01.02.2024,";
const std::string kEnd = "18:00:15,03.02.2024,";

INSTANTIATE_TEST_SUITE_P(
    Rows, LayoutStorePeriodTest,
    ::testing::Values(PeriodRow{"BothFull", kStart, kEnd, true},
                      PeriodRow{"DateBeforeTime", "01.02.2024,06:30:00,", kEnd, true},
                      PeriodRow{"EndMissing", kStart, std::nullopt, false},
                      PeriodRow{"StartMissing", std::nullopt, kEnd, false},
                      PeriodRow{"BothEmpty", "", "", false},
                      PeriodRow{"TwoDigitYear", "06:30:00,01.02.24,", kEnd, false},
                      PeriodRow{"EndGarbage", kStart, "yesterday", false},
                      PeriodRow{"NoDate", kStart, "18:00:15,", false},
                      PeriodRow{"MonthOutOfRange", "06:30:00,01.13.2024,", kEnd, false},
                      PeriodRow{"HourOutOfRange", kStart, "24:00:15,03.02.2024,", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LayoutStoreTest, ViewWithoutPeriodClearsThePeriodOfAnEarlierRun) {
    ASSERT_TRUE(LayoutStore::SaveLayout(m_registry, kProgram, {{{ChangedView(0)}}}));
    ViewLayout withoutPeriod = ChangedView(0);
    withoutPeriod.timeStart.reset();
    withoutPeriod.timeEnd.reset();
    ASSERT_TRUE(LayoutStore::SaveLayout(m_registry, kProgram, {{{withoutPeriod}}}));
    const ViewLayout view = LayoutStore::RestoreFirstDocument(m_registry, kProgram).views.at(0);
    EXPECT_FALSE(view.timeStart);
    EXPECT_FALSE(view.timeEnd);
}

TEST_F(LayoutStoreTest, SensorWindowsAreReadInOrderUpToTheFirstGap) {
    m_registry.WriteText("wetter1/View1/Sensor1", "KE", "TE");
    m_registry.WriteText("wetter1/View1/Sensor2", "KE", "FE");
    m_registry.WriteInt("wetter1/View1/Sensor2", "COLOR", 0);
    m_registry.WriteText("wetter1/View1/Sensor4", "KE", "DR");
    const ViewLayout view = LayoutStore::RestoreFirstDocument(m_registry, kProgram).views.at(0);
    ASSERT_EQ(view.sensorWindows.size(), 2u);
    // Missing values stay unset or default; a stored black is still a colour.
    EXPECT_EQ(view.sensorWindows[0],
              (SensorWindowLayout{"TE", std::nullopt, "50", "0", 100, std::nullopt}));
    EXPECT_EQ(view.sensorWindows[1].colour, 0);
}

TEST_F(LayoutStoreTest, MainPlacementLivesInTheMainFrameSection) {
    const std::string bytes("\x01\xD9\x00\xCB", 4);
    ASSERT_TRUE(LayoutStore::WriteMainPlacement(m_registry, kProgram, bytes));
    EXPECT_EQ(m_registry.ReadBinary("wetter1/MainFrame", "WP"), bytes);
    EXPECT_EQ(LayoutStore::ReadMainPlacement(m_registry, kProgram), bytes);
}

TEST_F(LayoutStoreTest, ProfileThatCannotBeStoredIsReported) {
    m_registry.failFlush = true;
    EXPECT_FALSE(LayoutStore::SaveLayout(m_registry, kProgram, {{{ViewLayout{}}}}));
    EXPECT_FALSE(LayoutStore::WriteMainPlacement(m_registry, kProgram, "wp"));
}

}  // namespace
