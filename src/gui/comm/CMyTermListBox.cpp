#include "gui/comm/CMyTermListBox.h"

#include <QFontDatabase>
#include <QScrollBar>

CMyTermListBox::CMyTermListBox(QWidget* parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QScrollBar* bar = verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { m_following = value >= bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (m_following) bar->setValue(maximum);
    });
}

void CMyTermListBox::AddLine(const QString& shown, bool removeOldest) {
    const bool follow = m_following;
    if (removeOldest && count() > 0) delete takeItem(0);
    addItem(shown);
    if (!follow) return;
    setCurrentRow(count() - 1);
    scrollToBottom();
    m_following = true;
}
