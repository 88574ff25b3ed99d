#pragma once

// The hourly sum of a virtual sensor: the values stored during the last hour.
class CSumHour {
public:
    CSumHour() = default;
    virtual ~CSumHour();
};
