#include "gui/ui/DialogTitleWidth.h"

#include <QDialog>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLayout>
#include <QVariant>
#include <algorithm>

namespace {

// What was added to a dialog, so that a later title (or grown content) starts
// again from the dialog's own width.
constexpr const char* kAddedMargin = "wetterTitleMargin";
constexpr const char* kOwnWidth = "wetterTitleOwnWidth";

// A layout of a fixed size sets the dialog's size from its own size hint and
// the dialog's contents margins: only wider margins make such a dialog wider.
void WidenFixedLayout(QDialog& dialog, QLayout& layout, int needed) {
    const int added = dialog.property(kAddedMargin).toInt();
    QMargins margins = dialog.contentsMargins();
    margins.setLeft(margins.left() - added / 2);
    margins.setRight(margins.right() - (added - added / 2));
    dialog.setContentsMargins(margins);
    layout.activate();
    const int missing = std::max(0, needed - dialog.minimumWidth());
    margins.setLeft(margins.left() + missing / 2);
    margins.setRight(margins.right() + (missing - missing / 2));
    dialog.setContentsMargins(margins);
    dialog.setProperty(kAddedMargin, missing);
    layout.activate();
}

void WidenFixedWidth(QDialog& dialog, int needed) {
    QVariant own = dialog.property(kOwnWidth);
    if (!own.isValid()) {
        own = dialog.minimumWidth();
        dialog.setProperty(kOwnWidth, own);
    }
    dialog.setFixedWidth(std::max(own.toInt(), needed));
}

}  // namespace

DialogTitleWidth::DialogTitleWidth(QObject* parent) : QObject(parent) {}

int DialogTitleWidth::Needed(const QString& title) {
    if (title.isEmpty()) return 0;
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int button = metrics.height() + 8;
    constexpr int kPadding = 16;
    return metrics.horizontalAdvance(title) + 4 * button + kPadding;
}

void DialogTitleWidth::Widen(QDialog& dialog, bool opening) {
    const int needed = Needed(dialog.windowTitle());
    QLayout* layout = dialog.layout();
    if (layout != nullptr && layout->sizeConstraint() == QLayout::SetFixedSize) {
        WidenFixedLayout(dialog, *layout, needed);
    } else if (dialog.minimumWidth() == dialog.maximumWidth()) {
        WidenFixedWidth(dialog, needed);
    } else if (opening && dialog.width() < needed && dialog.maximumWidth() >= needed) {
        dialog.resize(needed, dialog.height());
    }
}

bool DialogTitleWidth::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::WindowTitleChange) return false;
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (dialog == nullptr || !dialog->isWindow()) return false;
    // A hidden dialog is measured when it is shown.
    if (type == QEvent::WindowTitleChange && !dialog->isVisible()) return false;
    Widen(*dialog, type == QEvent::Show);
    return false;
}
