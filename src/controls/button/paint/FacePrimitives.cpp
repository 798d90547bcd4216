#include "controls/button/paint/FacePrimitives.h"

#include "controls/button/paint/PaintMath.h"
#include "drawing/Surface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace FacePrimitives {

namespace {

using PaintMath::divide;
using Channels = std::array<int, 3>;

Channels channels(OleColor colour) { return {Color::red(colour), Color::green(colour), Color::blue(colour)}; }

// The per-channel step from ca towards cb: |cb - ca|·scale / divisor, negated where cb is smaller.
std::array<double, 3> steps(const Channels &from, const Channels &to, double scale, double divisor)
{
    std::array<double, 3> step{};
    for (int c = 0; c < 3; ++c) {
        step[c] = divide(std::abs(to[c] - from[c]) * scale, divisor);
        if (to[c] < from[c])
            step[c] = -step[c];
    }
    return step;
}

int channelValue(double value) { return int(std::clamp(std::nearbyint(value), 0.0, 255.0)); }

OleColor colourAt(const Channels &from, const std::array<double, 3> &step, double index)
{
    return Color::RGB(channelValue(from[0] + index * step[0]), channelValue(from[1] + index * step[1]),
                      channelValue(from[2] + index * step[2]));
}

// A stack of lines p = first..last across the target; colourOf(p) gives each line's colour.
template <class ColourOf>
void lineStack(Surface &target, bool vertical, int64_t first, int64_t last, int64_t from, int64_t to,
               ColourOf colourOf)
{
    const int extent = vertical ? target.width() : target.height();
    const PaintMath::Range range = PaintMath::visibleStack(first, last, extent, PaintMath::penReach(target));
    for (int64_t p = range.first; p <= range.last; ++p) {
        const OleColor colour = colourOf(p);
        if (vertical)
            PaintMath::axisLine(target, int(p), int(from), int(p), int(to), colour);
        else
            PaintMath::axisLine(target, int(from), int(p), int(to), int(p), colour);
    }
}

} // namespace

void GradientFill(Surface &target, double x1, double y1, double x2, double y2, OleColor ca, OleColor cb,
                  int32_t type, int32_t blendSize)
{
    using PaintMath::arg;
    const int64_t left = arg(x1), top = arg(y1), right = arg(x2), bottom = arg(y2);
    const Channels from = channels(ca), to = channels(cb);
    const double b = blendSize;
    switch (type) {
    case 0:
    case 1: {
        const bool vertical = type == 0;
        const int64_t start = vertical ? left : top, end = vertical ? right : bottom;
        const auto step = steps(from, to, b, double(end - start));
        lineStack(target, vertical, start, end, vertical ? top : left, vertical ? bottom : right,
                  [&](int64_t p) { return colourAt(from, step, double(p - start)); });
        break;
    }
    case 2: {
        const int n = std::min(target.width(), target.height());
        const auto step = steps(from, to, 1, n);
        target.setPenWidth(2);
        for (int p = 0; p <= n; ++p)
            target.circle(int(left), int(top), p, colourAt(from, step, p));
        break;
    }
    case 3:
    case 4:
    case 5:
    case 6: {
        const bool vertical = type == 4 || type == 6;
        const int64_t start = vertical ? left : top, end = vertical ? right : bottom;
        const double span = double(end - start);
        const auto step = steps(from, to, 1, span + 1);
        const bool repeating = type == 3 || type == 4;
        lineStack(target, vertical, start, end, vertical ? top : left, vertical ? bottom : right, [&](int64_t p) {
            double index = 0;
            if (repeating) {
                // Mod takes Longs: the quotient is rounded (overflowing past 32 bits) first.
                const int64_t quotient = PaintMath::arg(divide(double(p) * span, b));
                if (span == 0)
                    throw RuntimeError::divisionByZero();
                index = double(quotient % int64_t(span));
            } else {
                index = PaintMath::arg(span * std::cos(divide(span - double(p), b)));
            }
            return colourAt(from, step, index);
        });
        break;
    }
    default:
        break;
    }
}

ColorRamp::ColorRamp(int64_t n, OleColor ca, OleColor cb, int32_t blendSize)
{
    if (n < 0)
        throw RuntimeError::subscriptOutOfRange();
    m_divisor = PaintMath::arg(double(n) + 1 + blendSize / 10.0);
    const Channels from = channels(ca), to = channels(cb);
    for (int c = 0; c < 3; ++c) {
        m_from[c] = from[c];
        m_delta[c] = to[c] - from[c];
        // Entries run in a straight line from ca, so the last one decides whether all fit a byte.
        Color::toByte(from[c] + divide(double(n) * m_delta[c], double(m_divisor)));
    }
}

OleColor ColorRamp::entry(int64_t i) const
{
    const auto channel = [&](int c) { return channelValue(m_from[c] + double(i) * m_delta[c] / double(m_divisor)); };
    return Color::RGB(channel(0), channel(1), channel(2));
}

// Channel c of entry i is from + i·delta / D rounded half to even. Walking i upwards keeps the
// floor quotient and remainder of i·delta by D and adds delta's in one step each; the rounding
// then looks at the remainder, so no division is left in the loop.
void ColorRamp::fill(int64_t first, uint32_t *pixels, int64_t count) const
{
    const int64_t d = std::abs(m_divisor);
    const auto floorDiv = [](int64_t n, int64_t m, int64_t &remainder) {
        int64_t q = n / m;
        remainder = n - q * m;
        if (remainder < 0) {
            remainder += m;
            --q;
        }
        return q;
    };
    int64_t quotient[3], remainder[3], stepQuotient[3], stepRemainder[3];
    for (int c = 0; c < 3; ++c) {
        const int64_t delta = m_divisor < 0 ? -m_delta[c] : m_delta[c];
        quotient[c] = floorDiv(first * delta, d, remainder[c]);
        stepQuotient[c] = floorDiv(delta, d, stepRemainder[c]);
    }
    for (int64_t i = 0; i < count; ++i) {
        uint32_t pixel = 0;
        for (int c = 0; c < 3; ++c) {
            const int64_t twice = 2 * remainder[c], below = m_from[c] + quotient[c];
            const int64_t value = std::clamp<int64_t>(below + ((twice > d || (twice == d && (below & 1))) ? 1 : 0), 0, 255);
            pixel |= uint32_t(value) << (16 - 8 * c); // red, green, blue
            quotient[c] += stepQuotient[c];
            remainder[c] += stepRemainder[c];
            if (remainder[c] >= d) {
                remainder[c] -= d;
                ++quotient[c];
            }
        }
        pixels[i] = pixel;
    }
}

void FourColorFill(Surface &target, double x, double y, double w, double h, OleColor tl, OleColor tr, OleColor bl,
                   OleColor br, int32_t blendSize)
{
    using PaintMath::arg;
    const int64_t left = arg(x), top = arg(y), width = arg(w), height = arg(h);
    const ColorRamp leftColumn(height, tl, bl, blendSize);
    const ColorRamp rightColumn(height, tr, br, blendSize);
    // Rows and columns off the target are not computed; a row ramp is checked only where it shows.
    const int64_t firstColumn = std::max<int64_t>(0, left);
    const int64_t lastColumn = std::min<int64_t>(target.width(), left + width); // exclusive
    std::vector<uint32_t> row(size_t(std::max<int64_t>(0, lastColumn - firstColumn)));
    const int64_t firstRow = std::max<int64_t>(0, -top);
    const int64_t lastRow = std::min<int64_t>(height, int64_t(target.height()) - top); // exclusive
    for (int64_t i = firstRow; i < lastRow; ++i) {
        const ColorRamp ramp(width, leftColumn.entry(i), rightColumn.entry(i), blendSize);
        if (row.empty())
            continue;
        ramp.fill(firstColumn - left, row.data(), int64_t(row.size()));
        target.setDIBits(int(firstColumn), int(top + i), int(row.size()), 1, row);
    }
}

void BlendCopy(Surface &target, double xd, double yd, double wd, double hd, const Surface &source, double xs,
               double ys, double ws, double hs, double alpha, double format)
{
    using PaintMath::arg;
    const uint8_t constantAlpha = Color::toByte(alpha);
    const uint8_t alphaFormat = Color::toByte(format);
    target.alphaBlend(arg(xd), arg(yd), arg(wd), arg(hd), source, arg(xs), arg(ys), arg(ws), arg(hs), constantAlpha,
                      Surface::AlphaFormat(alphaFormat));
}

} // namespace FacePrimitives
