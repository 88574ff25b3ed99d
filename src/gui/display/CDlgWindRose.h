#pragma once

// CDlgWindRose is a sensor's wind-rose window ("Azimuth scale").

#include <QWidget>

#include "model/WindRoseSettings.h"

class CWindroseCtrl;
class DiagramPeriod;
class SensorSet;

// A small floating window with the dial of one sensor's wind-rose settings
// (a copy of them), kept by the diagram view and updated with its data.
class CDlgWindRose final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMargin = 10;

    CDlgWindRose(const WindRoseSettings& settings, const SensorSet& sensors, QWidget* parent);

    const WindRoseSettings& Settings() const { return m_settings; }
    // The dial from the sensors' current values, or empty for a historic period.
    void Update(const DiagramPeriod& period, const SensorSet& sensors);
    CWindroseCtrl& Control() const { return *m_control; }

signals:
    // Closed by the user: the view lets it go.
    void Closed(CDlgWindRose* window);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    WindRoseSettings m_settings;
    CWindroseCtrl* m_control;
};
