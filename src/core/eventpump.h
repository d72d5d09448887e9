#pragma once

#include <QElapsedTimer>

namespace zentavo {

// Lets the window handle its pending events in the middle of a long command.
// Processing events costs a system call even when nothing is waiting, so a
// command that yields for every row would spend most of its time there; the
// pump skips the call when it ran less than `minimumIntervalMs` ago, which
// still answers clicks and repaints well within what a person notices.
class EventPump
{
public:
    explicit EventPump(int minimumIntervalMs = 8);

    // Processes pending events unless that was done very recently. Throws
    // Abandoned once the window has been closed.
    void yield();

    // From now on every yield throws Abandoned: the running command stops at
    // its next yield.
    void abandon() { m_abandoned = true; }
    bool isAbandoned() const { return m_abandoned; }

private:
    QElapsedTimer m_sinceLastRun;
    int m_minimumIntervalMs;
    bool m_abandoned = false;
};

} // namespace zentavo
