#include "TickClock.h"

namespace kq {

TickClock::TickClock(TimeSource& time, LinkTime tick)
    : m_Time(time), m_Tick(tick.count() > 0 ? tick : Millis(kProtocolTickMs)), m_Origin(time.Now()) {}

LinkTime TickClock::TickAfter(LinkTime t, int n) const {
    // Ticks already passed at t, counting one that falls exactly on t.
    const auto passed = t < m_Origin ? -1 : (t - m_Origin) / m_Tick;
    return m_Origin + m_Tick * (passed + n);
}

void TickClock::Delay(int n) {
    if (n > 0) m_Time.SleepUntil(TicksFromNow(n));
}

} // namespace kq
