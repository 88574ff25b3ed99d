// Window placements kept as Qt geometry bytes (main window, diagram views,
// single-value windows): stored bytes from a larger screen or a damaged
// profile bring a window back whole on a screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <string>

#include "gui/ui/ViewPlacement.h"

namespace {

// The bytes a window of `geometry` leaves behind.
std::string StoredPlacement(const QRect& geometry) {
    QWidget window;
    window.setGeometry(geometry);
    return PlacementOf(window);
}

TEST(ViewPlacement, RestoredWindowsLieWholeOnTheScreen) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        const char* name;
        QRect stored;
    } cases[] = {{"huge", {0, 0, 20000, 20000}},
                 {"left of the screen", {-300, 40, 400, 300}},
                 {"below the screen", {50, available.bottom() - 50, 400, 300}}};
    for (const auto& row : cases) {
        QWidget window;
        ASSERT_TRUE(RestorePlacement(window, StoredPlacement(row.stored))) << row.name;
        EXPECT_TRUE(available.contains(window.geometry())) << row.name;
        EXPECT_EQ(window.width(), std::min(row.stored.width(), available.width())) << row.name;
    }
}

TEST(ViewPlacement, APlacementOnTheScreenStaysAsItWas) {
    const QRect stored(30, 40, 300, 200);
    QWidget window;
    ASSERT_TRUE(RestorePlacement(window, StoredPlacement(stored)));
    EXPECT_EQ(window.geometry(), stored);
    EXPECT_FALSE(RestorePlacement(window, "damaged"));
    EXPECT_EQ(window.geometry(), stored);
}

}  // namespace
