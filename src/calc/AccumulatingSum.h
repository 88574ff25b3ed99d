#pragma once

// The sum of a counter that restarts now and then (a precipitation counter
// reset by the station): every rise counts, a drop below the peak is a restart.
class AccumulatingSum {
public:
    // `restartTolerance`: how far below the peak a value must lie to count as a
    // restart; stored values are rounded, so a series read back needs a margin.
    explicit AccumulatingSum(float restartTolerance = 0.0f) : m_tolerance(restartTolerance) {}

    // The first value sets the peak and the base level; it is then taken like
    // any other value when it is valid.
    void Start(float first) {
        m_accumulator = 0.0;
        m_peak = first;
        m_base = first;
        m_firstPositive = first > 0.0f;
        m_restarted = false;
        m_pending = false;
    }

    void Take(float value) {
        if (m_peak - value > m_tolerance) {
            // Only the first restart after a positive start discounts the level
            // the counter already had when observation began.
            m_accumulator += (!m_restarted && m_firstPositive) ? m_peak - m_base : m_peak;
            m_restarted = true;
            m_pending = false;
        } else {
            m_pending = true;
        }
        m_peak = value;
    }

    // The accumulated sum with the pending peak added.
    double Total() const { return m_pending ? m_accumulator + m_peak : m_accumulator; }

private:
    float m_tolerance;
    double m_accumulator = 0.0;
    float m_peak = 0.0f;
    float m_base = 0.0f;
    bool m_firstPositive = false;
    bool m_restarted = false;
    bool m_pending = false;
};
