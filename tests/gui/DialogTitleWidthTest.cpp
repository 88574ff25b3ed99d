// Dialogs of a fixed size against their titles: the window manager draws the
// title in its bar with the window's buttons, and cuts what does not fit.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <functional>
#include <memory>

#include "DialogChecks.h"
#include "FakeTransport.h"
#include "ManualClock.h"
#include "ManualEventQueue.h"
#include "ScriptedUi.h"
#include "TempFolder.h"
#include "app/ConnectionOptions.h"
#include "gui/comm/CBaudrate.h"
#include "gui/comm/CDlgPinPuk.h"
#include "gui/comm/CDlgVerbOptionen.h"
#include "gui/comm/CKonfigurationComDlg.h"
#include "gui/ui/DialogTitleWidth.h"
#include "model/StationSettings.h"
#include "platform/AutoResetEvent.h"
#include "platform/IniProfile.h"

namespace {

// The title as a window manager draws it: bold in the title font.
QFontMetrics TitleMetrics() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    return QFontMetrics(font);
}

// The text and at least a close, a maximise and a minimise button beside it.
int TitleBarNeeds(const QString& title) {
    const QFontMetrics metrics = TitleMetrics();
    return metrics.horizontalAdvance(title) + 3 * metrics.height();
}

// A picture of `window` under a title bar drawn as a window manager would:
// icon, title (cut in its middle when it does not fit), three buttons.
QImage WithTitleBar(QWidget& window) {
    const QImage body = window.grab().toImage();
    const QFontMetrics metrics = TitleMetrics();
    const int bar = metrics.height() + 10;
    QImage picture(body.width(), body.height() + bar, QImage::Format_ARGB32);
    picture.fill(QColor(60, 60, 70));
    QPainter painter(&picture);
    painter.drawImage(0, bar, body);
    const int button = bar - 8;
    painter.fillRect(4, 4, button, button, QColor(140, 170, 220));
    for (int i = 1; i <= 3; ++i)
        painter.fillRect(picture.width() - i * (button + 4), 4, button, button,
                         QColor(200, 200, 200));
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QRect text(button + 10, 0, picture.width() - 4 * (button + 4) - 10, bar);
    painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                     metrics.elidedText(window.windowTitle(), Qt::ElideMiddle, text.width()));
    return picture;
}

// What the dialogs below are built on.
struct Seams {
    TempFolder folder;
    IniProfile profile;
    ScriptedUi ui;
    ProcessWideSettings process;
    FakeTransport transport{"serial /dev/ttyUSB0"};
    AutoResetEvent abort;
    ManualEventQueue events;
    ManualClock clock{0};
    std::string StationFile() const { return folder.File("wetterstation.ini"); }
};

struct FixedDialog {
    const char* name;
    std::function<std::unique_ptr<QDialog>(Seams&)> make;
};

const FixedDialog kFixedDialogs[] = {
    {"BaudSearch",
     [](Seams& s) {
         return std::make_unique<CBaudrate>(s.transport,
                                            SerialLineSettings{"/dev/ttyUSB0", 9600, 8, 0, 2},
                                            s.abort, s.events, s.clock, s.profile, s.StationFile());
     }},
    {"ComPort",
     [](Seams& s) {
         return std::make_unique<CKonfigurationComDlg>(
             s.profile, s.StationFile(), ConnectionOptions::LineSection::kSerial, s.ui, "wetter");
     }},
    {"ConnectionOptions",
     [](Seams& s) {
         return std::make_unique<CDlgVerbOptionen>(s.profile, s.StationFile(), ConnectionType::kTcp,
                                                   s.process, s.ui, "wetter");
     }},
    {"PinPuk", [](Seams&) { return std::make_unique<CDlgPinPuk>("Please insert PIN!"); }},
};

class DialogTitleWidthTest : public ::testing::Test {
protected:
    DialogTitleWidthTest() { qApp->installEventFilter(&m_watch); }
    DialogTitleWidth m_watch;
};

TEST_F(DialogTitleWidthTest, FixedSizeDialogsAreAsWideAsTheirTitles) {
    for (const FixedDialog& row : kFixedDialogs) {
        SCOPED_TRACE(row.name);
        Seams seams;
        std::unique_ptr<QDialog> dialog = row.make(seams);
        ShowWindow(*dialog);
        EXPECT_EQ(dialog->minimumWidth(), dialog->maximumWidth()) << "a dialog of a fixed size";
        EXPECT_GE(dialog->width(), TitleBarNeeds(dialog->windowTitle()))
            << dialog->windowTitle().toStdString();
        ExpectNothingCut(*dialog);
        if (std::string_view(row.name) == "BaudSearch")
            EXPECT_TRUE(WithTitleBar(*dialog).save(Screenshot("dialog-title-width.png")));
    }
}

// A dialog that fixes its size itself or renames itself while shown.
TEST_F(DialogTitleWidthTest, ADialogIsWidenedAgainWhenItsTitleGrows) {
    QDialog byLayout;
    auto* layout = new QVBoxLayout(&byLayout);
    layout->addWidget(new QLabel("12.5"));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    byLayout.setWindowTitle("TE");
    QDialog byItself;
    byItself.setFixedSize(60, 40);
    byItself.setWindowTitle("FE");
    for (QDialog* dialog : {&byLayout, &byItself}) {
        ShowWindow(*dialog);
        const int shown = dialog->width();
        dialog->setWindowTitle("Temperature outside, north wall of the barn");
        EXPECT_GE(dialog->width(), TitleBarNeeds(dialog->windowTitle()));
        EXPECT_EQ(dialog->minimumWidth(), dialog->maximumWidth()) << "still of a fixed size";
        dialog->setWindowTitle(dialog == &byLayout ? "TE" : "FE");
        EXPECT_EQ(dialog->width(), shown) << "and back again";
    }
}

// One the person may resize is only made wide enough when it opens.
TEST_F(DialogTitleWidthTest, AResizableDialogOpensAsWideAsItsTitle) {
    QDialog dialog;
    (new QVBoxLayout(&dialog))->addWidget(new QLabel("ok"));
    dialog.setWindowTitle("Settings of the additional storage folder");
    dialog.resize(80, 60);
    ShowWindow(dialog);
    EXPECT_GE(dialog.width(), TitleBarNeeds(dialog.windowTitle()));
    dialog.resize(120, 60);
    QApplication::processEvents();
    EXPECT_EQ(dialog.width(), 120) << "the person may make it narrower";
}

}  // namespace
