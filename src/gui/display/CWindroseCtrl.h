#pragma once

// CWindroseCtrl is the wind-rose dial control.

#include <QWidget>

#include "display/Windrose.h"

// Shows the dial for the values it is given; the painting is Windrose's, the
// recent range is the process's shared tracker.
class CWindroseCtrl final : public QWidget {
    Q_OBJECT
public:
    explicit CWindroseCtrl(QWidget* parent = nullptr);

    void SetValues(const WindroseValues& values);
    const WindroseValues& Values() const { return m_values; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    WindroseValues m_values;
};
