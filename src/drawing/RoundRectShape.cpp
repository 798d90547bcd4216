#include "RoundRectShape.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

constexpr int64_t Limit = int64_t(1) << 28;

int64_t clampCoordinate(int64_t v) { return std::clamp(v, -Limit, Limit); }

} // namespace

RoundRectShape::RoundRectShape(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    int64_t l = clampCoordinate(left), r = clampCoordinate(right);
    int64_t t = clampCoordinate(top), b = clampCoordinate(bottom);
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    m_left = l;
    m_right = r;
    m_top = t;
    m_bottom = b;
    m_cornerWidth = std::min<int64_t>(std::abs(int64_t(cornerWidth)), r - l);
    m_cornerHeight = std::min<int64_t>(std::abs(int64_t(cornerHeight)), b - t);
}

RoundRectShape RoundRectShape::inset(int width) const
{
    RoundRectShape s;
    const int64_t w = std::max(0, width);
    s.m_left = m_left + w;
    s.m_right = m_right - w;
    s.m_top = m_top + w;
    s.m_bottom = m_bottom - w;
    s.m_cornerWidth = std::max<int64_t>(0, m_cornerWidth - 2 * w);
    s.m_cornerHeight = std::max<int64_t>(0, m_cornerHeight - 2 * w);
    return s;
}

// In doubled coordinates the centre of pixel x is 2x + 1 and the straight part of the top edge
// runs from 2·left + 2a to 2·right − 2a, so every quantity is an integer.
bool RoundRectShape::inside(int64_t x, int64_t ey2) const
{
    const int64_t cx = 2 * x + 1;
    const int64_t ex2 = std::max<int64_t>({0, 2 * m_left + m_cornerWidth - cx, cx - (2 * m_right - m_cornerWidth)});
    const __int128 a2 = __int128(m_cornerWidth) * m_cornerWidth;
    const __int128 b2 = __int128(m_cornerHeight) * m_cornerHeight;
    return __int128(ex2) * ex2 * b2 + __int128(ey2) * ey2 * a2 <= a2 * b2;
}

bool RoundRectShape::span(int y, int &first, int &last) const
{
    if (isEmpty() || y < m_top || y >= m_bottom)
        return false;
    const int64_t cy = 2 * int64_t(y) + 1;
    const int64_t ey2 = std::max<int64_t>({0, 2 * m_top + m_cornerHeight - cy, cy - (2 * m_bottom - m_cornerHeight)});
    // The middle column (the last of the left half for an even width) is the most inside of
    // its row, and inside grows monotonically from the left edge to it: binary search the first.
    const int64_t sum = m_left + m_right - 1;
    const int64_t middle = sum >= 0 ? sum / 2 : -((-sum + 1) / 2);
    if (!inside(middle, ey2))
        return false;
    int64_t lo = m_left, hi = middle;
    while (lo < hi) {
        const int64_t mid = lo + (hi - lo) / 2;
        if (inside(mid, ey2))
            hi = mid;
        else
            lo = mid + 1;
    }
    first = int(lo);
    last = int(sum - lo);
    return true;
}
