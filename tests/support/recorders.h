#pragma once

// Stand-ins for the outside world that record what the program did.

#include "core/clock.h"
#include "core/prompter.h"
#include "generator/randomsource.h"

#include <QList>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

namespace zentavo::test {

struct ShownMessage
{
    Prompter::Icon icon;
    QString title;
    QString text;
};

class RecordingPrompter : public Prompter
{
public:
    void message(Icon icon, const QString &title, const QString &text) override;

    QList<ShownMessage> shown;
    // Runs while a box is "open", as a user acting before pressing OK would.
    std::function<void(const ShownMessage &)> whileOpen;

    QStringList texts() const;
};

// Returns the positions it is given, in order, and records the pool size
// asked for with each draw. Running out of positions fails the test.
class ScriptedRandom : public RandomSource
{
public:
    ScriptedRandom() = default;
    ScriptedRandom(std::initializer_list<quint32> script) : positions(script) {}

    quint32 uniform(quint32 n) override;

    std::deque<quint32> positions;
    QList<quint32> poolSizes;
    // When set, draws beyond the script return this position instead of failing.
    std::optional<quint32> fallback;
};

// A clock that moves on by `step` seconds each time it is read, wrapping at
// midnight like the real one.
class SteppingClock : public Clock
{
public:
    float secondsSinceMidnight() override;
    float now = 43200.0f;
    float step = 0.05f;
    int reads = 0;
};

} // namespace zentavo::test
