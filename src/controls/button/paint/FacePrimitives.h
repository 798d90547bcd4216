#pragma once

#include "drawing/Color.h"

#include <cstdint>

class Surface;

// The four drawing primitives of the button faces. Each throws the platform's RuntimeError where
// the face painter must stop: a division by zero (a zero span or blend size), a value that does
// not fit its type (an alpha outside 0..255, a Long overflow).
namespace FacePrimitives {

// Lines or circles from ca towards cb; blendSize is ButtonColorBlendSize. Channels are rounded
// half to even and clamped to 0..255 (types 0 and 1 clamp falling channels to 0 as well).
//   0: vertical lines p = x1..x2, colour index p - x1, step |cb - ca|·B / (x2 - x1)
//   1: horizontal lines p = y1..y2, colour index p - y1, step |cb - ca|·B / (y2 - y1)
//   2: circles of radius 0..n about (x1, y1), n the smaller side of the target; pen width 2,
//      which the target keeps; step |cb - ca| / n
//   3, 4: horizontal (3) or vertical (4) lines, index ((p·span) / B) Mod span, step divisor
//      span + 1: a ramp repeating every B pixels
//   5, 6: horizontal (5) or vertical (6) lines, index span·cos((span - p) / B)
// Other types draw nothing. Coordinates are rounded half to even.
void GradientFill(Surface &target, double x1, double y1, double x2, double y2, OleColor ca, OleColor cb,
                  int32_t type, int32_t blendSize);

// The colour ramp behind the four-corner fill: entries 0..n, entry i = ca + i·(cb - ca) / D per
// channel with D = n + 1 + B / 10 rounded, each converted to a byte. The ramp never quite reaches
// cb. Constructing it checks every entry (they run in a straight line, so the two ends suffice):
// a negative n, a zero D or an entry outside 0..255 throws.
class ColorRamp {
public:
    ColorRamp(int64_t n, OleColor ca, OleColor cb, int32_t blendSize);
    OleColor entry(int64_t i) const;
    // Entries first, first + 1, ... as 0x00RRGGBB pixels, computed step by step in exact
    // integers (the same values as entry()).
    void fill(int64_t first, uint32_t *pixels, int64_t count) const;

private:
    int m_from[3] = {};
    int m_delta[3] = {};
    int64_t m_divisor = 1;
};

// Fills w × h pixels at (x, y): the left column runs tl..bl, the right tr..br, each row from its
// left to its right entry, all as ColorRamps; rows are written whole, as a 24-bit row bitmap.
void FourColorFill(Surface &target, double x, double y, double w, double h, OleColor tl, OleColor tr,
                   OleColor bl, OleColor br, int32_t blendSize);

// One stretching constant-alpha blend (source may be the target): format 0 mixes, format 1 adds
// the scaled source. Alpha and format must fit a byte.
void BlendCopy(Surface &target, double xd, double yd, double wd, double hd, const Surface &source, double xs,
               double ys, double ws, double hs, double alpha, double format);

} // namespace FacePrimitives
