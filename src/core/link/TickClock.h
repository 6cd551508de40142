// The link's pacing: a free-running tick (20 ms) from the moment the link
// is made. A wait of n ticks ends on the n-th tick boundary after it
// begins, so it lasts more than n - 1 and at most n intervals, whatever
// came before it: a tick that fell due earlier (during a pause, a fast
// exchange or a drain) is never counted.
#pragma once

#include "LinkTime.h"

namespace kq {

class TickClock {
public:
    TickClock(TimeSource& time, LinkTime tick);

    LinkTime Now() { return m_Time.Now(); }
    // The n-th tick boundary strictly after t (n >= 1).
    LinkTime TickAfter(LinkTime t, int n) const;
    // The n-th tick boundary after now.
    LinkTime TicksFromNow(int n) { return TickAfter(Now(), n); }
    // Waits n ticks (Delay(0) returns at once).
    void Delay(int n);
    void SleepUntil(LinkTime t) { m_Time.SleepUntil(t); }
    LinkTime Tick() const { return m_Tick; }

private:
    TimeSource& m_Time;
    LinkTime m_Tick;
    LinkTime m_Origin;
};

} // namespace kq
