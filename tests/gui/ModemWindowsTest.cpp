// The modem's windows: the PIN/PUK window, and the dialogue running while the
// program stays alive (the busy window moves, timers fire, the main windows
// take no clicks meanwhile).
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <thread>

#include "DialogChecks.h"
#include "gui/comm/CDlgPinPuk.h"
#include "gui/comm/QtModemUi.h"
#include "gui/platform/QtEventQueue.h"
#include "gui/platform/QtUi.h"

namespace {

TEST(CDlgPinPuk, AsksWithTheModemsPromptAndHidesTheEntry) {
    CDlgPinPuk dialog("Please insert PUK!");
    ShowWindow(dialog);
    EXPECT_EQ(dialog.windowTitle(), QString("PIN / PUK "));
    EXPECT_EQ(dialog.EntryField().echoMode(), QLineEdit::Password);
    ExpectNothingCut(dialog);
    QTest::keyClicks(&dialog.EntryField(), "12345678");
    dialog.grab().save(Screenshot("pin-puk.png"));
    EXPECT_EQ(dialog.Entry(), "12345678");
}

TEST(CDlgPinPuk, GivesTheEntryOnOkAndNothingWhenClosed) {
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CDlgPinPuk*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTest::keyClicks(&dialog->EntryField(), "4711");
        QTest::keyClick(&dialog->EntryField(), Qt::Key_Return);
    });
    EXPECT_EQ(CDlgPinPuk::Ask("Please insert PIN!"), std::optional<std::string>("4711"));

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(CDlgPinPuk::Ask("Please insert PIN!"), std::nullopt);
}

TEST(QtModemUi, ProgramStaysAliveWhileTheDialogueWaitsAndMainWindowsTakeNoClicks) {
    QtUi ui;
    QtEventQueue events;
    QtModemUi modemUi(ui, events);

    QWidget mainWindow;
    auto* connect = new QPushButton("Connect", &mainWindow);
    int clicks = 0;
    QObject::connect(connect, &QPushButton::clicked, [&] { ++clicks; });
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);

    // A person who answers the PIN window when it comes.
    QTimer person;
    QObject::connect(&person, &QTimer::timeout, [] {
        auto* dialog = qobject_cast<CDlgPinPuk*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        QTest::keyClicks(&dialog->EntryField(), "1234");
        dialog->accept();
    });
    person.start(50);

    bool busyShown = false;
    std::optional<std::string> pin;
    const bool result = modemUi.RunDialogue([&] {
        modemUi.ShowBusy("Establishing GSM connection! \r\nNeeds app. 30 sec.");
        events.Post([&] {
            QWidget* busy = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->findChild<QProgressBar*>() != nullptr) busy = w;
            busyShown = busy != nullptr;
            if (busy) busy->grab().save(Screenshot("modem-busy.png"));
            QTest::mouseClick(connect, Qt::LeftButton);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        pin = modemUi.AskPin("Please insert PIN!");
        modemUi.EndBusy();
        return true;
    });

    EXPECT_TRUE(result);
    EXPECT_TRUE(busyShown);
    EXPECT_GE(ticks, 10) << "the event loop went on during the dialogue";
    EXPECT_EQ(pin, std::optional<std::string>("1234"));
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(connect, Qt::LeftButton);
    EXPECT_EQ(clicks, 1) << "clicks reach the main windows again afterwards";
}

// What a person sees: the windows on top of each other as a window manager
// stacks them, windows that stay on top above the others.
QImage ScreenPicture() {
    QImage picture(QGuiApplication::primaryScreen()->size(), QImage::Format_RGB32);
    picture.fill(Qt::darkGray);
    QPainter painter(&picture);
    for (const bool onTop : {false, true})
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() &&
                window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
                painter.drawPixmap(window->geometry().topLeft(), window->grab());
    return picture;
}

TEST(QtModemUi, PinWindowIsNotCoveredByTheBusyWindowAndTheBusyWindowComesBack) {
    QtUi ui;
    QtEventQueue events;
    QtModemUi modemUi(ui, events);
    QWidget mainWindow;
    mainWindow.resize(800, 600);
    mainWindow.show();
    mainWindow.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));

    // A person who clicks into the field, types the PIN and clicks OK, where nothing covers them.
    std::vector<QString> covering;
    bool answered = false;
    QTimer person;
    QObject::connect(&person, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<CDlgPinPuk*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible() || answered) return;
        answered = true;
        QPushButton* ok = nullptr;
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->text().remove('&') == "OK") ok = button;
        ASSERT_NE(ok, nullptr);
        QLineEdit& field = dialog->EntryField();
        const QRect fieldOnScreen(field.mapToGlobal(QPoint(0, 0)), field.size());
        const QRect okOnScreen(ok->mapToGlobal(QPoint(0, 0)), ok->size());
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window != dialog && window->isVisible() &&
                window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
                !dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
                (window->geometry().intersects(fieldOnScreen) ||
                 window->geometry().intersects(okOnScreen)))
                covering.push_back(window->findChild<QLabel*>() != nullptr
                                       ? window->findChild<QLabel*>()->text()
                                       : window->objectName());
        ScreenPicture().save(Screenshot("modem-pin-first.png"));
        QTest::mouseClick(&field, Qt::LeftButton, {}, field.rect().center());
        QTest::keyClicks(&field, "1234");
        QTest::mouseClick(ok, Qt::LeftButton, {}, ok->rect().center());
    });
    person.start(50);

    std::optional<std::string> pin;
    bool busyAgain = false;
    modemUi.RunDialogue([&] {
        modemUi.ShowBusy("Establishing GSM connection! \r\nNeeds app. 30 sec.");
        pin = modemUi.AskPin("Please insert PIN!");
        events.Post([&] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->isVisible() && window->findChild<QProgressBar*>() != nullptr)
                    busyAgain = window->findChild<QLabel*>()->text().startsWith(
                        "Establishing GSM connection!");
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        modemUi.EndBusy();
        return true;
    });

    EXPECT_TRUE(answered);
    EXPECT_TRUE(covering.empty()) << covering.front().toStdString();
    EXPECT_EQ(pin, std::optional<std::string>("1234"));
    EXPECT_TRUE(busyAgain) << "the busy window is back once the PIN is given";
}

}  // namespace
