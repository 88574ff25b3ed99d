// The diagram painter on a QPainter: a sample for people to look at, and the
// pixels that must come out of it.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <vector>

#include "UtcTime.h"
#include "display/CDiagramm.h"
#include "gui/ui/QtCanvas.h"

namespace {

constexpr std::uint32_t kBackground = 0xFFFFFF;
constexpr std::uint32_t kGrid = 0x808080;
constexpr std::uint32_t kRed = 0x0000DC;   // RGB(220, 0, 0)
constexpr std::uint32_t kBlue = 0xB40000;  // RGB(0, 0, 180)
const QRgb kRedPixel = qRgb(220, 0, 0);
const QRgb kBluePixel = qRgb(0, 0, 180);

constexpr std::time_t kStep = 600;
constexpr int kGapFrom = 100;  // points 100..129 are missing
constexpr int kGapTo = 130;

int Count(const QImage& image, QRect area, QRgb colour) {
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) found += image.pixel(x, y) == colour;
    }
    return found;
}

TEST(QtCanvas, PaintsADiagramWithTwoSensors) {
    const std::time_t start = Utc(2024, 3, 10, 6, 0);
    std::vector<CDaten> temperature;
    std::vector<CDaten> pressure;
    for (int i = 0; i < 288; ++i) {
        const double day = 2 * M_PI * i / 144.0;
        const bool missing = i >= kGapFrom && i < kGapTo;
        temperature.emplace_back(start + i * kStep,
                                 missing ? -99999.0f : static_cast<float>(16 + 5 * std::sin(day)));
        pressure.emplace_back(start + i * kStep, static_cast<float>(1012 + 4 * std::cos(day / 3)));
    }

    QImage image(900, 500, QImage::Format_RGB32);
    CanvasRect plot;
    {
        QPainter painter(&image);
        QtCanvas canvas(painter);
        const CanvasRect client = {0, 0, image.width(), image.height()};
        canvas.FillRect(client, kBackground);
        CDiagramm diagram(canvas, client, kGrid, false, {.lineWidth = 2});
        plot = diagram.Plot();
        diagram.DrawValueAxis(25, 0,
                              "\xB0"
                              "C",
                              "Temperatur", kRed, true);
        diagram.AddLegend("Temperatur", kRed, 1);
        diagram.DrawValueAxis(1030, 1000, "hPa", "Luftdruck", kBlue, false);
        diagram.AddLegend("Luftdruck", kBlue, 2);
        diagram.DrawCurve(pressure, 30, 1000, kBlue, 0, 0, true, true);
        diagram.DrawCurve(temperature, 25, 0, kRed, 0, 0, true, true);
        diagram.DrawLabels();
    }
    ASSERT_TRUE(QDir().mkpath(WETTER_SCREENSHOT_DIR));
    EXPECT_TRUE(image.save(WETTER_SCREENSHOT_DIR "/painter-sample.png"));

    const QRect inside(plot.left, plot.top, plot.Width(), plot.Height());
    EXPECT_GT(Count(image, inside, kRedPixel), 500);
    EXPECT_GT(Count(image, inside, kBluePixel), 500);
    // The axis runs over the points' whole span from a full hour.
    const double total = 287.0 * kStep;
    auto xOf = [&](int i) {
        return plot.left + static_cast<int>(i * kStep / total * plot.Width());
    };
    const QRect gap(xOf(kGapFrom - 1) + 4, plot.top, xOf(kGapTo) - xOf(kGapFrom - 1) - 8,
                    plot.Height());
    EXPECT_EQ(Count(image, gap, kRedPixel), 0) << "the missing values leave a gap";
    // Below both curves only grid dots lie on the background.
    const QRect low(plot.left, plot.bottom - 60, plot.Width(), 50);
    EXPECT_GT(Count(image, low, qRgb(255, 255, 255)), low.width() * low.height() * 9 / 10);
}

TEST(QtCanvas, DotsArePixelsInThePenColour) {
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtCanvas canvas(painter);
        canvas.SetPen(0x0000FF, 1);
        const CanvasPoint dots[] = {{1, 1}, {4, 1}};
        canvas.Points(dots);
    }
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 0, 0)) << "red in the low byte";
    EXPECT_EQ(image.pixel(4, 1), qRgb(255, 0, 0));
    for (const QPoint around : {QPoint(2, 1), QPoint(0, 1), QPoint(1, 0), QPoint(1, 2)}) {
        EXPECT_EQ(image.pixel(around), qRgb(255, 255, 255)) << around.x() << "," << around.y();
    }
}

TEST(QtCanvas, FontPointsScaleWithTheDeviceResolution) {
    auto sampleAt = [](int dpi) {
        QImage image(50, 50, QImage::Format_RGB32);
        const int perMetre = static_cast<int>(std::lround(dpi / 0.0254));
        image.setDotsPerMeterX(perMetre);
        image.setDotsPerMeterY(perMetre);
        QPainter painter(&image);
        QtCanvas canvas(painter);
        canvas.SetFont("arial", 9);
        return canvas.TextSize("0000.00");
    };
    const TextExtent screen = sampleAt(96);
    const TextExtent printer = sampleAt(600);
    EXPECT_GE(screen.cy, 12);
    EXPECT_LE(screen.cy, 16);
    EXPECT_NEAR(printer.cy, screen.cy * 600.0 / 96, screen.cy);
    EXPECT_NEAR(printer.cx, screen.cx * 600.0 / 96, screen.cx);
}

}  // namespace
