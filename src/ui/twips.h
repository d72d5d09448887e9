#pragma once

#include <QRect>

namespace zentavo {

// Positions in our windows' designs are in twips: 15 to a logical pixel.
constexpr int twipsToPixels(int twips)
{
    return (twips * 2 + 15) / 30;
}

// A rectangle of the design, in twips, as pixels. Edges are converted rather
// than sizes, so neighbouring controls keep their gaps exactly.
inline QRect twipsRect(int left, int top, int width, int height)
{
    const int x = twipsToPixels(left), y = twipsToPixels(top);
    return QRect(x, y, twipsToPixels(left + width) - x, twipsToPixels(top + height) - y);
}

} // namespace zentavo
