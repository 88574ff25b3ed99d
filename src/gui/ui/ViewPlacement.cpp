#include "gui/ui/ViewPlacement.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <vector>

#include "display/ScreenFit.h"

namespace {

ScreenRect ToScreenRect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

}  // namespace

std::string PlacementOf(const QWidget& widget) {
    const QByteArray bytes = widget.saveGeometry();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool RestorePlacement(QWidget& widget, const std::string& placement) {
    if (!widget.restoreGeometry(
            QByteArray(placement.data(), static_cast<qsizetype>(placement.size()))))
        return false;
    // Qt only pulls a lost window back by its title; a stored size larger than
    // every screen would still be taken, with a backing store to match.
    KeepWindowOnScreens(widget);
    return true;
}

QRect FittedToScreens(const QRect& rect, const QSize& minimum, const QMargins& frame) {
    std::vector<ScreenRect> screens;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary != nullptr)
        screens.push_back(ToScreenRect(primary->availableGeometry().marginsRemoved(frame)));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            screens.push_back(ToScreenRect(screen->availableGeometry().marginsRemoved(frame)));
    const ScreenRect fitted =
        FitToScreens(ToScreenRect(rect), screens, {minimum.width(), minimum.height()});
    return {fitted.x, fitted.y, fitted.width, fitted.height};
}

void KeepWindowOnScreens(QWidget& window) {
    if (!window.isWindow() || (window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const QRect inside = window.geometry();
    const QRect outside = window.frameGeometry();
    const QMargins frame(inside.left() - outside.left(), inside.top() - outside.top(),
                         outside.right() - inside.right(), outside.bottom() - inside.bottom());
    const QRect fitted = FittedToScreens(inside, window.minimumSize(), frame);
    if (fitted != inside) window.setGeometry(fitted);
}
