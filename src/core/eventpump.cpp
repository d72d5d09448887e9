#include "core/eventpump.h"

#include "core/failure.h"

#include <QCoreApplication>

namespace zentavo {

EventPump::EventPump(int minimumIntervalMs) : m_minimumIntervalMs(minimumIntervalMs) {}

void EventPump::yield()
{
    if (m_abandoned)
        throw Abandoned{};
    if (!m_sinceLastRun.isValid() || m_sinceLastRun.elapsed() >= m_minimumIntervalMs) {
        QCoreApplication::processEvents();
        m_sinceLastRun.start();
        if (m_abandoned)
            throw Abandoned{};
    }
}

} // namespace zentavo
