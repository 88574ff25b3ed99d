#pragma once

#include <string>

class CEinlesen;

// What a station document asks of the views that show it. Calls come on the
// user-interface thread.
class DocumentView {
public:
    virtual ~DocumentView() = default;
    // Read the displayed period again from the data files.
    virtual void ReloadData() = 0;
    // Stop showing a sensor that no longer exists.
    virtual void DropSensor(const std::string& identifier) = 0;
    // The sensor definitions were loaded again: every pointer to the old ones is void.
    virtual void SensorsReplaced() {}
    // The definition of the sensor `identifier` was changed in place: windows
    // showing it take its name, unit, colour and chart kind again; with
    // `reload` a view that shows it also reads its period again.
    virtual void SensorChanged(const std::string& identifier, bool reload) {
        (void)identifier;
        (void)reload;
    }
    // New current values (and perhaps a stored record) arrived: show them.
    // Must be cheap: a logger read-out calls it once per line, so a view only
    // marks itself for a repaint and merges the repaints (a single-shot timer),
    // never reads files or paints here.
    virtual void UpdateView() {}
    // The data-file reader of a diagram view, with the series it read; nothing for other views.
    virtual const CEinlesen* Reader() const { return nullptr; }
    // The view shows the momentary values as they arrive, not a read period.
    virtual bool ShowsMomentaryValues() const { return false; }
};
