#pragma once

#include <string>

// What a station document asks of the views that show it.
class DocumentView {
public:
    virtual ~DocumentView() = default;
    // Read the displayed period again from the data files.
    virtual void ReloadData() = 0;
    // Stop showing a sensor that no longer exists.
    virtual void DropSensor(const std::string& identifier) = 0;
    // New current values (and perhaps a stored record) arrived: show them.
    virtual void UpdateView() {}
};
