#pragma once

namespace zentavo {

// Positions in our windows' designs are in twips: 15 to a logical pixel.
constexpr int twipsToPixels(int twips)
{
    return (twips * 2 + 15) / 30;
}

} // namespace zentavo
