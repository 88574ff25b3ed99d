#pragma once

// DialogTitleWidth keeps dialogs from cutting their titles.

#include <QObject>

class QDialog;
class QString;

// Watches the dialogs of the application (install it as an event filter of
// the application): a dialog of a fixed size is widened, when it is shown and
// whenever its title changes, until the window manager's title bar has room
// for the whole title; a resizable one only when it opens. The window manager
// cuts a title in its middle, and a fixed dialog cannot be made wider by hand.
class DialogTitleWidth final : public QObject {
    Q_OBJECT
public:
    explicit DialogTitleWidth(QObject* parent = nullptr);

    // The width a title bar needs for `title`: the text in the title font, bold
    // as most window managers draw it, and room for the icon and three buttons.
    static int Needed(const QString& title);
    // Widens `dialog` as described; `opening` when it is being shown.
    static void Widen(QDialog& dialog, bool opening);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
