#include "display/DirectionSwing.h"

namespace {

int Signed(int direction) { return direction >= 180 ? direction - 360 : direction; }
int Unsigned(int direction) { return direction < 0 ? direction + 360 : direction; }

}  // namespace

void DirectionSwing::Take(int direction) {
    if (direction < 0 || direction > 359) return;
    for (int i = 0; i < kRepaintsPerUpdate; ++i) Repaint(Signed(direction));
}

void DirectionSwing::Repaint(int present) {
    if (!m_min || present < *m_min) {
        m_min = present;
        m_minAge = 0;
    } else {
        ++m_minAge;
    }
    if (!m_max || present > *m_max) {
        m_max = present;
        m_maxAge = 0;
    } else {
        ++m_maxAge;
    }
    if (m_minAge > kHold) {
        m_min = present;
        m_minAge = 0;
    }
    if (m_maxAge > kHold) {
        m_max = present;
        m_maxAge = 0;
    }
}

void DirectionSwing::Clear() {
    m_min.reset();
    m_max.reset();
    m_minAge = 0;
    m_maxAge = 0;
}

int DirectionSwing::From() const { return Unsigned(m_min.value_or(0)); }

int DirectionSwing::To() const { return Unsigned(m_max.value_or(0)); }
