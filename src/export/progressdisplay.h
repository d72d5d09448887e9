#pragma once

#include <QString>

namespace zentavo {

// Where a long command shows how far it got: a percentage (which may pass
// 100 by a hair) and a line of text. The window shows it on its progress bar.
class ProgressDisplay
{
public:
    virtual ~ProgressDisplay() = default;

    virtual void setValue(double percent) = 0;
    virtual void setText(const QString &text) = 0;
};

} // namespace zentavo
