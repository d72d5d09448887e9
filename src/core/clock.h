#pragma once

#include <QTime>

namespace zentavo {

// The time of day, for waits measured against the clock.
class Clock
{
public:
    virtual ~Clock() = default;
    // Seconds since midnight; wraps from 86400 back to 0.
    virtual float secondsSinceMidnight() = 0;
};

class SystemClock final : public Clock
{
public:
    float secondsSinceMidnight() override { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0f; }
};

} // namespace zentavo
