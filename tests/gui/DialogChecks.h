#pragma once

// Checks shared by the dialog tests: pictures for people to look at, a dialog
// shown as a window, nothing cut, and the Tab order.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

inline QString Screenshot(const char* name) {
    const QString folder = WETTER_SCREENSHOT_DIR;
    QDir().mkpath(folder);
    return folder + "/" + name;
}

// Shows `dialog` as a window of its own and waits until it has its size.
inline void ShowWindow(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QApplication::processEvents();
}

// A label's or button's text as shown: "&" marks the shortcut, "&&" stands for "&".
inline QString ShownText(const QString& text) {
    QString shown = text;
    return shown.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// Nothing of any child may stick out of the dialog, and every button and
// label is wide enough for its text.
inline void ExpectNothingCut(const QDialog& dialog) {
    for (const QWidget* child : dialog.findChildren<QWidget*>()) {
        if (!child->isVisible() || child->parentWidget() != &dialog) continue;
        EXPECT_TRUE(dialog.rect().contains(child->geometry()))
            << child->metaObject()->className() << " sticks out";
    }
    for (const QPushButton* button : dialog.findChildren<QPushButton*>())
        EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(ShownText(button->text())) + 8)
            << button->text().toStdString();
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue;
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(ShownText(label->text())))
            << label->text().toStdString();
    }
}

// The widgets Tab visits from `first` on, until it comes back.
inline std::vector<const QWidget*> TabChain(QWidget& first) {
    std::vector<const QWidget*> chain;
    QWidget* widget = &first;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisible() && widget->isEnabled())
            chain.push_back(widget);
        widget = widget->nextInFocusChain();
    } while (widget != &first && chain.size() < 50);
    return chain;
}


// Runs `act` on the next modal dialog once it is shown, while `open` opens it.
template <typename Dialog>
void WithModal(const std::function<void()>& open, const std::function<void(Dialog&)>& act) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        act(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    open();
    EXPECT_TRUE(seen);
}

// The dialog's button that shows `text` (shortcut marks left out).
inline QPushButton* ButtonNamed(QDialog& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (ShownText(button->text()) == text) return button;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}
