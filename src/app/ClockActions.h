#pragma once

#include <ctime>

class CWetterDoc;

// What record reception asks of the clock synchronisation when a live record's
// time is too far from the PC's clock. Called on the user-interface thread.
class ClockActions {
public:
    virtual ~ClockActions() = default;
    // Clock mode 1 (PC): bring the station's clock to the PC's time.
    virtual void SetStationClock(CWetterDoc& document) = 0;
    // Clock mode 2 (GPS): set the PC's clock from the record's time.
    virtual void SetPcClock(CWetterDoc& document, std::time_t recordTime) = 0;
};
