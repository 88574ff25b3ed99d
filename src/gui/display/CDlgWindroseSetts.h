#pragma once

// CDlgWindroseSetts chooses the sensors of a sensor's wind rose.

#include <QDialog>
#include <optional>
#include <vector>

#include "display/Windrose.h"
#include "model/WindRoseSettings.h"

class QCheckBox;
class QComboBox;
class SensorSet;

// The direction, second-direction and value sensors of a wind rose, each
// from the station's named sensors or none, and whether a calm hides the
// direction. OK hands the choices back; the caller stores them with the sensor.
class CDlgWindroseSetts final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Azimuth scale";

    CDlgWindroseSetts(const WindRoseSettings& settings, const SensorSet& sensors,
                      QWidget* parent = nullptr);

    // The settings as chosen (the enabled flag as it came in).
    WindRoseSettings Chosen() const;

    QComboBox& Sensor1Box() const { return *m_sensor1; }
    QComboBox& Sensor2Box() const { return *m_sensor2; }
    QComboBox& Sensor3Box() const { return *m_sensor3; }
    QCheckBox& FadeOutBox() const { return *m_fadeOut; }

private:
    QComboBox* NewSensorBox(const std::string& label);
    std::string LabelOf(const QComboBox& box) const;

    WindRoseSettings m_settings;
    std::vector<WindroseSensorChoice> m_choices;
    QComboBox* m_sensor1;
    QComboBox* m_sensor2;
    QComboBox* m_sensor3;
    QCheckBox* m_fadeOut;
};

// Opens the wind-rose settings over `parent`; the new settings on OK.
std::optional<WindRoseSettings> EditWindRoseSettings(QWidget* parent,
                                                     const WindRoseSettings& settings,
                                                     const SensorSet& sensors);
