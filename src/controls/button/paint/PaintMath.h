#pragma once

#include "common/Rounding.h"
#include "drawing/Surface.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <cstdint>

// Arithmetic shared by the button's painters. Drawing-call arguments are Longs: a real value is
// rounded half to even, and one outside 32 bits is the overflow error, which ends the painting
// step that computed it. Loops whose bounds come from properties are cut to the part that can
// still change a pixel, because values loaded from a bag or a string are stored unchecked.
namespace PaintMath {

// A real division as the platform evaluates it: 0 / 0 overflows, x / 0 divides by zero.
inline double divide(double numerator, double denominator)
{
    if (denominator == 0)
        throw numerator == 0 ? RuntimeError::overflow() : RuntimeError::divisionByZero();
    return numerator / denominator;
}

// A fresh uniform random number in [0, 1), as the platform's Rnd.
inline double random() { return QRandomGenerator::global()->generateDouble(); }

// A drawing-call argument.
inline int32_t arg(double value) { return Rounding::toLong(value); }

// A loop bound held in a Long counter.
inline int64_t bound(double value) { return Rounding::toLong(value); }

// The pen width a property asks for, as the surface's Integer DrawWidth takes it: outside 16 bits
// is the overflow error, below 1 an invalid property value. A pen wider than the surface's
// reach covers the same pixels of it as one at that reach, so it is kept there.
inline int penWidth(double value, const Surface &surface)
{
    const int16_t width = Rounding::toInteger(value);
    if (width < 1)
        throw RuntimeError::invalidPropertyValue();
    return std::min<int>(width, 4 * (surface.width() + surface.height()) + 16);
}

// A loop index computed in reals, kept within [low, high] (NaN gives low).
inline int64_t clampedIndex(double value, int64_t low, int64_t high)
{
    return std::isnan(value) ? low : int64_t(std::clamp(value, double(low), double(high)));
}

// How far beyond a line's own pixels its pen reaches.
inline int penReach(const Surface &surface) { return surface.penWidth() / 2 + 2; }

// A stack of parallel lines of the same length drawn at p = first, first + 1, ... last on an
// axis of the given extent: a later line covers at least what an earlier one covers of every
// pixel it comes nearer to, so lines before min(0, last) are covered, and lines beyond the pen's
// reach past the far edge touch nothing. Returns the part still to draw, empty when first > last.
struct Range {
    int64_t first;
    int64_t last;
};
inline Range visibleStack(int64_t first, int64_t last, int extent, int reach)
{
    return {std::max(first, std::min<int64_t>(0, last)), std::min<int64_t>(last, int64_t(extent) - 1 + reach)};
}

// Surface::line for a line along one axis, as runs of pixels: a one-pixel pen covers the
// pixels from the first end towards the second, leaving the second out (one pixel when the ends
// coincide). Wider pens and slanted lines go to Surface::line.
inline void axisLine(Surface &surface, int x1, int y1, int x2, int y2, OleColor colour)
{
    if (surface.penWidth() != 1 || (x1 != x2 && y1 != y2)) {
        surface.line(x1, y1, x2, y2, colour);
        return;
    }
    const auto covered = [](int from, int to, int &first, int &last) {
        first = from < to ? from : (from > to ? to + 1 : from);
        last = from < to ? to - 1 : from;
    };
    int left = x1, right = x1, top = y1, bottom = y1;
    if (y1 == y2)
        covered(x1, x2, left, right);
    else
        covered(y1, y2, top, bottom);
    surface.filledBox(left, top, right, bottom, colour);
}

} // namespace PaintMath
