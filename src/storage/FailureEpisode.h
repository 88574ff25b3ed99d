#pragma once

#include <utility>

// A write that keeps failing is news once: it is reported when it starts
// failing, and again only after it has worked in between. A full disk would
// otherwise fill the error log with one entry per record.
class FailureEpisode {
public:
    // The write failed; true when that starts an episode, so the caller reports it.
    bool Failed() { return !std::exchange(m_failing, true); }
    // The write worked: the next failure is news again.
    void Worked() { m_failing = false; }
    bool Failing() const { return m_failing; }

private:
    bool m_failing = false;
};
