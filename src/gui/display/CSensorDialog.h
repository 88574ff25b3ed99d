#pragma once

// CSensorDialog is a sensor's single-value window.

#include <QElapsedTimer>
#include <QWidget>
#include <map>

#include "display/SensorWindowModel.h"

class QGroupBox;
class QLabel;
class QSlider;
class QToolButton;
class Ui;

// A small floating window with a sensor's current value in a large font and
// the statistics of what its diagram view shows; its colour, curve kind and
// sliders steer the sensor's curve. The rules are SensorWindowModel's.
class CSensorDialog final : public QWidget {
    Q_OBJECT
public:
    CSensorDialog(int key, const CSensoren* sensor, Ui& ui, QWidget* parent);

    SensorWindowModel& Model() { return m_model; }
    const SensorWindowModel& Model() const { return m_model; }

    void AttachSensor(const CSensoren* sensor);
    void UpdateDisplay(const SensorWindowSource& source);
    void ShowCursorValue(const std::optional<CDaten>& point, int dataMode);
    // The "_" button: full, statistics, value only.
    void CycleCollapseState();
    void SetOpacity(int percent);

    // For tests and screenshots.
    QLabel& ValueField() const { return *m_value; }
    QString RowText(SensorRow row) const;
    QSlider& YScaleSlider() const { return *m_yScale; }
    QSlider& OffsetSlider() const { return *m_offset; }

signals:
    // The curve's look or range changed: the diagram repaints.
    void CurveChanged();
    // Activated: its sensor takes the diagram's left axis.
    void Activated(int key);
    // Closed by the user: the view removes it.
    void Closed(int key);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowTexts();
    void LayOutRows();
    void ChooseColour();

    SensorWindowModel m_model;
    Ui& m_ui;
    QLabel* m_value;
    QToolButton* m_collapse;
    std::map<SensorRow, std::pair<QLabel*, QLabel*>> m_rows;
    QGroupBox* m_sliders;
    QSlider* m_yScale;
    QSlider* m_offset;
    QElapsedTimer m_shownFor;
};
