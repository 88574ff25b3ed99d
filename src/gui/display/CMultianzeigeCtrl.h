#pragma once

// CMultianzeigeCtrl is the painted surface of the multi display.

#include <QImage>
#include <QWidget>

#include "display/DirectionSwing.h"
#include "display/MultiDisplayValues.h"
#include "display/Multianzeige.h"

// Keeps the values last handed to it, the swing of the main direction and the
// "Data..." flag, and paints them with the Multianzeige painter. Right clicks
// become requests for the tile's sensor menu or the colour menu.
class CMultianzeigeCtrl final : public QWidget {
    Q_OBJECT
public:
    explicit CMultianzeigeCtrl(QWidget* parent = nullptr);

    // New values: the swing takes their main direction once, whatever the
    // number of paints that follow (a window dragged across must not age it).
    void SetValues(const MultiDisplayValues& values);
    const MultiDisplayValues& Values() const { return m_values; }
    const DirectionSwing& Swing() const { return m_swing; }
    // Another sensor gives the main direction: its swing starts afresh.
    void ClearSwing() { m_swing.Clear(); }

    void SetColours(const MultiDisplayColours& colours);
    const MultiDisplayColours& Colours() const { return m_colours; }

    void SetDataNotice(bool shown);
    bool DataNoticeShown() const { return m_dataNotice; }

    // The display on any painter, `rect` as its client area. The background
    // (frames and compass) is kept between paints of the same size and colours.
    void Render(QPainter& painter, const QRect& rect) const;
    // The additional tile (1 to 5) at a point of the widget; 0 when none is.
    int AdditionalTileAt(const QPoint& point) const;

signals:
    void TileMenuRequested(int tile, const QPoint& globalPosition);
    void ColourMenuRequested(const QPoint& globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    const QImage& Background(const QSize& size, qreal pixelRatio, bool windTiles) const;

    MultiDisplayValues m_values;
    DirectionSwing m_swing;
    MultiDisplayColours m_colours;
    bool m_dataNotice = false;
    mutable QImage m_background;
    mutable MultiDisplayColours m_backgroundColours;
    mutable bool m_backgroundWind = false;
};
