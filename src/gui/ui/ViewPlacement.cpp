#include "gui/ui/ViewPlacement.h"

#include <QByteArray>
#include <QWidget>

std::string PlacementOf(const QWidget& widget) {
    const QByteArray bytes = widget.saveGeometry();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool RestorePlacement(QWidget& widget, const std::string& placement) {
    return widget.restoreGeometry(
        QByteArray(placement.data(), static_cast<qsizetype>(placement.size())));
}
