#pragma once

// VirtualSensorDefinition defines, edits and deletes a station's virtual sensors.

#include <string>
#include <string_view>

#include "calc/CSensorDefine.h"

class CWetterDoc;
class CSensoren;

// The "Virtual sensor" dialog's work on one station: its rules over the
// station's identifiers, and taking an accepted sensor into intern.ini and the
// running document at once, so that it is computed from the next record on.
class VirtualSensorDefinition {
public:
    explicit VirtualSensorDefinition(CWetterDoc& document);

    // Validation and storage over the station's identifiers and intern.ini.
    CSensorDefine& Rules() { return m_rules; }
    // intern.ini's full path.
    const std::string& File() const { return m_file; }
    // The virtual sensor `identifier` of the document, or nullptr.
    CSensoren* Find(std::string_view identifier) const;

    // Stores the sensor in intern.ini, then adds it to the document (new) or
    // updates its record in place (edited); views are told, and read their
    // period again when a shown setting changed. False when intern.ini could
    // not be written: the document is then unchanged.
    bool Apply(const CheckedVirtualSensor& sensor, bool isNew);

    // Removes the sensor from intern.ini and then from the document; false
    // (document unchanged) when intern.ini could not be written.
    bool Delete(const std::string& identifier);

private:
    CWetterDoc& m_document;
    std::string m_file;
    CSensorDefine m_rules;
};
