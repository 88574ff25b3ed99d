#pragma once

// CMyTermListBox is the terminal's line list.

#include <QListWidget>

// Shows the terminal's lines and follows new ones as long as its end is in
// view: once the person scrolls up, new lines no longer move it, until the
// list is scrolled back to its end.
class CMyTermListBox final : public QListWidget {
    Q_OBJECT
public:
    explicit CMyTermListBox(QWidget* parent = nullptr);

    // Appends a shown line, first removing the oldest when `removeOldest`.
    void AddLine(const QString& shown, bool removeOldest);
    // Whether the next line will be followed (the end of the list is in view).
    bool FollowsNewLines() const { return m_following; }

private:
    // Set while the end is in view; a wider line may bring a horizontal scroll
    // bar after the list was moved to its end, so a followed list keeps to it.
    bool m_following = true;
};
