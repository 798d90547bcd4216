#include "FacePrimitives.h"

#include "PaintMath.h"
#include "Surface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace FacePrimitives {

namespace {

using Channels = std::array<int, 3>;

Channels channels(OleColor colour) { return {Color::red(colour), Color::green(colour), Color::blue(colour)}; }

// A real division as the platform evaluates it: 0 / 0 overflows, x / 0 divides by zero.
double divide(double numerator, double denominator)
{
    if (denominator == 0)
        throw numerator == 0 ? RuntimeError::overflow() : RuntimeError::divisionByZero();
    return numerator / denominator;
}

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
            target.line(int(p), int(from), int(p), int(to), colour);
        else
            target.line(int(from), int(p), int(to), int(p), colour);
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
    m_divisor = double(PaintMath::arg(double(n) + 1 + blendSize / 10.0));
    const Channels from = channels(ca), to = channels(cb);
    for (int c = 0; c < 3; ++c) {
        m_from[c] = from[c];
        m_delta[c] = to[c] - from[c];
        // Entries run in a straight line from ca, so the last one decides whether all fit a byte.
        Color::toByte(from[c] + divide(double(n) * m_delta[c], m_divisor));
    }
}

OleColor ColorRamp::entry(int64_t i) const
{
    const auto channel = [&](int c) { return channelValue(m_from[c] + double(i) * m_delta[c] / m_divisor); };
    return Color::RGB(channel(0), channel(1), channel(2));
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
        for (int64_t column = firstColumn; column < lastColumn; ++column) {
            const OleColor colour = ramp.entry(column - left);
            row[size_t(column - firstColumn)] =
                (uint32_t(Color::red(colour)) << 16) | (uint32_t(Color::green(colour)) << 8) | uint32_t(Color::blue(colour));
        }
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
