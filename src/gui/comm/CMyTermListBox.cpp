#include "gui/comm/CMyTermListBox.h"

#include <QFontDatabase>
#include <QScrollBar>

CMyTermListBox::CMyTermListBox(QWidget* parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

bool CMyTermListBox::FollowsNewLines() const {
    const QScrollBar* bar = verticalScrollBar();
    return bar->value() >= bar->maximum();
}

void CMyTermListBox::AddLine(const QString& shown, bool removeOldest) {
    const bool follow = FollowsNewLines();
    if (removeOldest && count() > 0) delete takeItem(0);
    addItem(shown);
    if (!follow) return;
    setCurrentRow(count() - 1);
    scrollToBottom();
}
