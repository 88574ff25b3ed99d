#pragma once

// CEinheitBerechnung ("unit computation") converts raw values to units.

class CSensoren;

// Turns a raw sensor value into the value shown in the sensor's unit: factor
// and offset, or the Beaufort number for wind. Holds no data; create it where
// a value is converted.
class CEinheitBerechnung {
public:
    // Record reception checks the limits; the data-file reader does not (the
    // raw values it reads were stored unchecked) but keeps a stored -99999.
    enum class Limits { Check, KeepStoredInvalid };

    virtual ~CEinheitBerechnung() = default;

    // 0 to 17 for a wind speed in km/h; bounds are inclusive, NaN gives 17.
    unsigned BeaufortNummer(float speed) const;

    // A virtual sensor's value comes back unchanged. Otherwise an invalid value
    // gives -99999, a Beaufort sensor its number and every other sensor
    // raw * factor + offset in 32-bit floats.
    float ConvertValue(float raw, const CSensoren& sensor, Limits limits) const;
};
