#include "drawing/Surface.h"

#include "drawing/PixelOps.h"
#include "drawing/RoundRectShape.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

QImage blankImage(int width, int height, QRgb rgb)
{
    if (width <= 0 || height <= 0)
        return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(rgb);
    return image;
}

// ⌊√n⌋ for n ≥ 0.
int64_t isqrt(int64_t n)
{
    auto r = static_cast<int64_t>(std::sqrt(static_cast<long double>(n)));
    while (r > 0 && r * r > n)
        --r;
    while ((r + 1) * (r + 1) <= n)
        ++r;
    return r;
}

// Largest circles whose exact ring arithmetic stays within 64 bits.
constexpr int MaxRadius = 1 << 28;

} // namespace

Surface::Surface(int width, int height, OleColor backColor)
    : m_image(blankImage(width, height, Color::toQRgb(backColor))), m_backColor(backColor)
{
}

void Surface::resize(int width, int height)
{
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == this->width() && height == this->height())
        return;
    QImage resized = blankImage(width, height, Color::toQRgb(m_backColor));
    const int w = std::min(width, this->width());
    const int h = std::min(height, this->height());
    for (int y = 0; y < h; ++y)
        std::copy_n(reinterpret_cast<const QRgb *>(m_image.constScanLine(y)), w,
                    reinterpret_cast<QRgb *>(resized.scanLine(y)));
    m_image = resized;
}

void Surface::setBrightnessAdjustment(int brightness) { m_brightness = std::clamp(brightness, -100, 100); }

void Surface::clear()
{
    if (!m_image.isNull())
        m_image.fill(Color::toQRgb(m_backColor));
}

OleColor Surface::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return -1;
    return Color::fromQRgb(reinterpret_cast<const QRgb *>(m_image.constScanLine(y))[x]);
}

void Surface::setPixel(int x, int y, OleColor colour)
{
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return;
    reinterpret_cast<QRgb *>(m_image.scanLine(y))[x] = Color::toQRgb(colour);
}

void Surface::fillSpan(int y, int x1, int x2, QRgb rgb)
{
    if (y < 0 || y >= height())
        return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, width() - 1);
    if (x1 > x2)
        return;
    std::fill_n(reinterpret_cast<QRgb *>(m_image.scanLine(y)) + x1, x2 - x1 + 1, rgb);
}

void Surface::line(int x1, int y1, int x2, int y2, OleColor colour)
{
    if (m_image.isNull())
        return;
    const QRgb rgb = Color::toQRgb(colour);
    if (m_penWidth > 1) {
        thickLine(x1, y1, x2, y2, rgb);
        return;
    }
    if (x1 == x2 && y1 == y2) {
        fillSpan(y1, x1, x1, rgb);
        return;
    }
    // Bresenham in closed form, the last point left out: step i of n along the major axis moves
    // the minor axis by ⌊(i·minor + ⌊major/2⌋) / major⌋. Only the steps on the surface are walked.
    const int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const int64_t major = xMajor ? std::llabs(dx) : std::llabs(dy);
    const int64_t minor = xMajor ? std::llabs(dy) : std::llabs(dx);
    const int64_t majorStart = xMajor ? x1 : y1, minorStart = xMajor ? y1 : x1;
    const int majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const int64_t majorLimit = xMajor ? width() : height();

    int64_t first = 0, last = major - 1;
    if (majorStep > 0) {
        first = std::max(first, -majorStart);
        last = std::min(last, majorLimit - 1 - majorStart);
    } else {
        first = std::max(first, majorStart - (majorLimit - 1));
        last = std::min(last, majorStart);
    }
    for (int64_t i = first; i <= last; ++i) {
        const int64_t a = majorStart + majorStep * i;
        const int64_t b = minorStart + minorStep * int64_t((__int128(i) * minor + major / 2) / major);
        const int64_t x = xMajor ? a : b, y = xMajor ? b : a;
        if (x >= 0 && y >= 0 && x < width() && y < height())
            reinterpret_cast<QRgb *>(m_image.scanLine(int(y)))[x] = rgb;
    }
}

// A wide pen: every pixel whose centre lies within half the pen width of the segment (round caps).
// An odd width centres the band on the pixel centres, an even one between pixels, so that the
// band is exactly the pen width across. Evaluated in doubled integer coordinates.
void Surface::thickLine(int x1, int y1, int x2, int y2, QRgb rgb)
{
    const int w = m_penWidth;
    // Segments far outside the surface are first cut to a margin around it.
    const double limit = double(std::max(width(), height())) + 2.0 * w + 2.0;
    double ax = x1, ay = y1, bx = x2, by = y2;
    if (std::max({std::abs(ax), std::abs(ay), std::abs(bx), std::abs(by)}) > limit) {
        double t0 = 0.0, t1 = 1.0;
        const double ddx = bx - ax, ddy = by - ay;
        const auto clip = [&](double p, double q) {
            if (p == 0.0)
                return q >= 0.0;
            const double r = q / p;
            if (p < 0.0)
                t0 = std::max(t0, r);
            else
                t1 = std::min(t1, r);
            return t0 <= t1;
        };
        if (!(clip(-ddx, ax + limit) && clip(ddx, limit - ax) && clip(-ddy, ay + limit) && clip(ddy, limit - ay)))
            return;
        bx = std::round(ax + t1 * ddx);
        by = std::round(ay + t1 * ddy);
        ax = std::round(ax + t0 * ddx);
        ay = std::round(ay + t0 * ddy);
    }
    const int64_t offset = (w % 2) ? 1 : 0;
    const int64_t pax = 2 * int64_t(ax) + offset, pay = 2 * int64_t(ay) + offset;
    const int64_t pbx = 2 * int64_t(bx) + offset, pby = 2 * int64_t(by) + offset;
    const int64_t ddx = pbx - pax, ddy = pby - pay;
    const int64_t length2 = ddx * ddx + ddy * ddy;
    const int64_t reach2 = int64_t(w) * w;

    const int xFrom = std::max<int64_t>(0, std::min(int64_t(ax), int64_t(bx)) - w);
    const int xTo = std::min<int64_t>(width() - 1, std::max(int64_t(ax), int64_t(bx)) + w);
    const int yFrom = std::max<int64_t>(0, std::min(int64_t(ay), int64_t(by)) - w);
    const int yTo = std::min<int64_t>(height() - 1, std::max(int64_t(ay), int64_t(by)) + w);
    for (int y = yFrom; y <= yTo; ++y) {
        auto *row = reinterpret_cast<QRgb *>(m_image.scanLine(y));
        for (int x = xFrom; x <= xTo; ++x) {
            const int64_t px = 2 * int64_t(x) + 1 - pax, py = 2 * int64_t(y) + 1 - pay;
            const int64_t t = px * ddx + py * ddy;
            bool covered;
            if (t <= 0 || length2 == 0) {
                covered = px * px + py * py <= reach2;
            } else if (t >= length2) {
                const int64_t qx = px - ddx, qy = py - ddy;
                covered = qx * qx + qy * qy <= reach2;
            } else {
                const __int128 cross = __int128(px) * ddy - __int128(py) * ddx;
                covered = cross * cross <= __int128(reach2) * length2;
            }
            if (covered)
                row[x] = rgb;
        }
    }
}

void Surface::box(int x1, int y1, int x2, int y2, OleColor colour)
{
    if (m_image.isNull())
        return;
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    // The pen straddles the edges: (w − 1) / 2 pixels outside, the rest inside.
    const int64_t outside = (m_penWidth - 1) / 2, inside = m_penWidth - 1 - outside;
    const int64_t innerLeft = int64_t(x1) + inside + 1, innerRight = int64_t(x2) - outside - 1;
    const int64_t innerTop = int64_t(y1) + inside + 1, innerBottom = int64_t(y2) - outside - 1;
    const auto clampX = [&](int64_t v) { return int(std::clamp<int64_t>(v, -1, width())); };
    if (m_fillStyle == FillStyle::Solid) {
        const QRgb fill = Color::toQRgb(m_fillColor);
        for (int64_t y = std::max<int64_t>(innerTop, 0); y <= std::min<int64_t>(innerBottom, height() - 1); ++y)
            fillSpan(int(y), clampX(innerLeft), clampX(innerRight), fill);
    }
    const QRgb rgb = Color::toQRgb(colour);
    const int64_t top = int64_t(y1) - outside, bottom = int64_t(y2) + inside;
    const int left = clampX(int64_t(x1) - outside), right = clampX(int64_t(x2) + inside);
    for (int64_t y = std::max<int64_t>(top, 0); y <= std::min<int64_t>(bottom, height() - 1); ++y) {
        if (y < innerTop || y > innerBottom || innerLeft > innerRight) {
            fillSpan(int(y), left, right, rgb);
        } else {
            fillSpan(int(y), left, clampX(innerLeft - 1), rgb);
            fillSpan(int(y), clampX(innerRight + 1), right, rgb);
        }
    }
}

void Surface::filledBox(int x1, int y1, int x2, int y2, OleColor colour)
{
    if (m_image.isNull())
        return;
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    const QRgb rgb = Color::toQRgb(colour);
    for (int y = std::max(y1, 0); y <= std::min(y2, height() - 1); ++y)
        fillSpan(y, x1, x2, rgb);
}

// The ring holds the pixels whose distance d from the centre satisfies r − w/2 < d ≤ r + w/2;
// the solid fill holds d ≤ r. Row by row in exact integers (doubled distances).
void Surface::circle(int x, int y, int radius, OleColor colour)
{
    if (m_image.isNull() || radius < 0 || radius > MaxRadius)
        return;
    const int64_t w = m_penWidth;
    const int64_t outer2 = (2 * int64_t(radius) + w) * (2 * int64_t(radius) + w);
    const int64_t innerDiameter = 2 * int64_t(radius) - w;
    const int64_t inner2 = innerDiameter > 0 ? innerDiameter * innerDiameter : -1;
    const int64_t fill2 = 4 * int64_t(radius) * radius;
    const QRgb pen = Color::toQRgb(colour);
    const QRgb fill = Color::toQRgb(m_fillColor);
    const int64_t reach = radius + w;
    for (int64_t row = std::max<int64_t>(0, y - reach); row <= std::min<int64_t>(height() - 1, y + reach); ++row) {
        const int64_t dy4 = 4 * (row - y) * (row - y);
        const auto clampX = [&](int64_t v) { return int(std::clamp<int64_t>(v, -1, width())); };
        if (m_fillStyle == FillStyle::Solid && fill2 - dy4 >= 0) {
            const int64_t xf = isqrt((fill2 - dy4) / 4);
            fillSpan(int(row), clampX(x - xf), clampX(x + xf), fill);
        }
        if (outer2 - dy4 < 0)
            continue;
        const int64_t xo = isqrt((outer2 - dy4) / 4);
        if (inner2 - dy4 < 0) {
            fillSpan(int(row), clampX(x - xo), clampX(x + xo), pen);
            continue;
        }
        const int64_t xi = isqrt((inner2 - dy4) / 4) + 1;
        if (xi > xo)
            continue;
        fillSpan(int(row), clampX(x - xo), clampX(x - xi), pen);
        fillSpan(int(row), clampX(x + xi), clampX(x + xo), pen);
    }
}

void Surface::roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    if (m_image.isNull())
        return;
    const RoundRectShape outer(left, top, right, bottom, cornerWidth, cornerHeight);
    if (outer.isEmpty())
        return;
    const RoundRectShape inner = outer.inset(m_penWidth);
    const QRgb pen = Color::toQRgb(m_foreColor);
    const QRgb fill = Color::toQRgb(m_fillColor);
    const bool solid = m_fillStyle == FillStyle::Solid;
    for (int y = std::max(outer.top(), 0); y < std::min(outer.bottom(), height()); ++y) {
        int first = 0, last = 0;
        if (!outer.span(y, first, last))
            continue;
        if (solid)
            fillSpan(y, first, last, fill);
        int innerFirst = 0, innerLast = 0;
        if (inner.span(y, innerFirst, innerLast)) {
            fillSpan(y, first, innerFirst - 1, pen);
            fillSpan(y, innerLast + 1, last, pen);
        } else {
            fillSpan(y, first, last, pen);
        }
    }
}
