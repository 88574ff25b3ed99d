// The output window as a person reads it: entries of several lines and long
// ones shown whole.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QScrollBar>

#include "DialogChecks.h"
#include "gui/app/CDlgOutput.h"
#include "model/Colours.h"
#include "model/OutputList.h"

namespace {

TEST(OutputWindow, EntriesOfSeveralLinesAreShownWhole) {
    OutputList::Process().Clear();
    OutputWrite("Timer 3000", kColourCommand);
    OutputWrite("Error!\nWeatherstation could not understand sequent: !R5", kColourError);
    OutputWrite("Timeout at sending", 0);
    const std::string longLine =
        "StationDocuments::CloseAll /home/wetter/Daten/Dach: the data file could not be "
        "written to the end, the last record stays in memory";
    OutputWrite(longLine, kColourError);
    OutputWrite("Forwarding starts", kColourAction);

    CDlgOutput window;
    window.Fill();
    ShowWindow(window);
    QListWidget& list = window.List();
    ASSERT_EQ(list.count(), 5);
    const QFontMetrics metrics = list.fontMetrics();
    const QRect single = list.visualItemRect(list.item(0));
    const QRect twoLines = list.visualItemRect(list.item(1));
    EXPECT_GE(twoLines.height(), 2 * metrics.lineSpacing()) << "both lines of the message";
    EXPECT_LT(single.height(), 2 * metrics.lineSpacing()) << "a line is one line high";
    EXPECT_GE(twoLines.width(),
              metrics.horizontalAdvance("Weatherstation could not understand sequent: !R5"));
    EXPECT_GE(list.visualItemRect(list.item(3)).width(),
              metrics.horizontalAdvance(QString::fromStdString(longLine)))
        << "a long line is scrolled to, not cut";
    EXPECT_GT(list.horizontalScrollBar()->maximum(), 0);
    EXPECT_TRUE(window.grab().save(Screenshot("output-multiline.png")));
}

}  // namespace
