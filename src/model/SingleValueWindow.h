#pragma once

// A sensor's single-value window as the core sees it: the sensor owns it, and
// destroying it closes the window.
class SingleValueWindow {
public:
    virtual ~SingleValueWindow() = default;
};
