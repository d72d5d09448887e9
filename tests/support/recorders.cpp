#include "recorders.h"

#include <QTest>
#include <stdexcept>

namespace zentavo::test {

void RecordingPrompter::message(Icon icon, const QString &title, const QString &text)
{
    shown.append({icon, title, text});
    if (whileOpen)
        whileOpen(shown.last());
}

QStringList RecordingPrompter::texts() const
{
    QStringList result;
    for (const ShownMessage &message : shown)
        result << message.text;
    return result;
}

quint32 ScriptedRandom::uniform(quint32 n)
{
    poolSizes.append(n);
    quint32 position = 0;
    if (!positions.empty()) {
        position = positions.front();
        positions.pop_front();
    } else if (fallback) {
        position = *fallback;
    } else {
        throw std::logic_error("the scripted random source ran out of positions");
    }
    if (position >= n)
        throw std::logic_error("scripted position outside the pool");
    return position;
}

float SteppingClock::secondsSinceMidnight()
{
    ++reads;
    const float reading = now;
    now += step;
    if (now >= 86400.0f)
        now -= 86400.0f;
    return reading;
}

} // namespace zentavo::test
