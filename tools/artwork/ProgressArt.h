#pragma once

#include <QImage>
#include <QSize>

// The progress bar's pictures. The bar draws the back picture first, its orange blocks (10
// pixels wide, 1 apart, from x = 1 and y = 3 to H - 3) over it, then blends the cover over
// everything at constant alpha 100.
namespace ProgressArt {

// A dark track with the unlit block cells faintly marked where the blocks will land.
QImage back(const QSize &size);

// A warm glass sheen: light in the upper half, dark in the lower, so blocks look rounded.
QImage cover(const QSize &size);

} // namespace ProgressArt
