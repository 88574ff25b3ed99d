#pragma once

// DirectionSwing is the recent swing of a station's main wind direction.

#include <optional>

// The smallest and largest main direction of roughly the last 25 repaints. An
// extreme that no new value has beaten for more than kHold repaints gives way
// to the present direction, so the swing shrinks back when the wind settles.
// Each update counts as the kRepaintsPerUpdate repaints it brings (the values,
// the "Data..." notice and its end), not as the paints the window happens to
// get: a window dragged across the screen must not age the swing.
// Directions are compared across north (as -180 to 179), so a swing from 350
// to 10 degrees is 20 degrees wide, not 340.
class DirectionSwing {
public:
    static constexpr int kHold = 24;
    static constexpr int kRepaintsPerUpdate = 3;

    // The main direction (0 to 359) of one update; anything else leaves the swing as it is.
    void Take(int direction);
    void Clear();

    bool Known() const { return m_min.has_value(); }
    // The extremes in 0 to 359; 0 while nothing is known.
    int From() const;
    int To() const;
    // The extremes as -180 to 179, From <= To: the sector to shade.
    int FromSigned() const { return m_min.value_or(0); }
    int ToSigned() const { return m_max.value_or(0); }

private:
    void Repaint(int present);

    // Kept as optionals: -1 is the real direction 359, not "none".
    std::optional<int> m_min;
    std::optional<int> m_max;
    int m_minAge = 0;
    int m_maxAge = 0;
};
