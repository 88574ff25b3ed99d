#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/StationSensorDefine.h"

class CWetterDoc;
class Ui;

// The rules and texts of the sensor-properties dialog "Orbset" (COrbset): the
// rows of its two lists, the remembered selections, and what happens when a
// station sensor's definition is accepted or a virtual sensor is deleted.
// Every change is stored at once and taken over by the running station.
class OrbsetForm {
public:
    struct Column {
        std::string_view title;
        int width;  // pixels
    };
    static constexpr std::string_view kTitle = "Orbset";
    static constexpr std::array<Column, 3> kColumns{
        {{"Sensorlabel", 100}, {"Sensorname", 117}, {"Unit", 70}}};
    static constexpr std::string_view kStationGroup = "Sensors of weatherstation";
    static constexpr std::string_view kVirtualGroup = "Virtual sensors";
    static constexpr std::string_view kEditButton = "Edit";
    static constexpr std::string_view kDefineButton = "Define sensor";
    static constexpr std::string_view kEditVirtualButton = "Edit sensor";
    static constexpr std::string_view kDeleteVirtualButton = "Delete sensor";
    static constexpr std::string_view kOkButton = "OK";
    static constexpr std::string_view kDeleteQuestion = "Do you really want to delete?";

    enum class List { kStation, kVirtual };
    struct Row {
        std::string identifier;
        std::string name;
        std::string unit;
        bool operator==(const Row&) const = default;
    };

    // `caption` titles the question.
    OrbsetForm(CWetterDoc& document, Ui& ui, std::string caption);

    // One row per identifier the station reported, with "Name" and "Unit" of
    // define.ini. A section without "Name" gets empty "Name" and "Unit" first.
    std::vector<Row> StationRows();
    // One row per identifier of intern.ini's "iKennung".
    std::vector<Row> VirtualRows() const;

    // A click in a list: remembers its identifier (nothing forgets it) and
    // makes it the list used last.
    void Select(List list, std::optional<std::string> identifier);
    const std::optional<std::string>& Selection(List list) const;
    std::optional<List> LastUsed() const { return m_lastUsed; }
    // "Farbe" of the sensor selected in the list used last, for the colour field.
    std::optional<std::uint32_t> SelectedColour() const;

    // "Edit", a double click or Enter on the station list: the fields to open
    // "Definition of sensors" with, or nothing without a selection.
    std::optional<StationSensorInput> EditTarget() const;
    // "Altitude (in m):" of the station settings.
    std::string AltitudeText() const;

    // OK in "Definition of sensors" after its validation: writes define.ini,
    // then the sensor record, its current value and the views take the change
    // over; histories are cleared only when a setting that the statistics or
    // the diagram use changed. False when define.ini could not be written:
    // then nothing changed.
    bool AcceptStationSensor(const StationSensorInput& before, const StationSensorInput& after);
    // The file AcceptStationSensor writes, for its message.
    std::string DefineFile() const;

    // "Delete sensor": asks, and removes the selected virtual sensor from
    // intern.ini and the station on Yes. The selection is forgotten either
    // way. True when a sensor was removed.
    bool DeleteVirtualSensor();

private:
    CWetterDoc& m_document;
    Ui& m_ui;
    std::string m_caption;
    std::optional<std::string> m_stationSelection;
    std::optional<std::string> m_virtualSelection;
    std::optional<List> m_lastUsed;
};
