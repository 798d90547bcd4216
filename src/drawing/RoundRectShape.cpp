#include "drawing/RoundRectShape.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

constexpr int64_t Limit = int64_t(1) << 28;
constexpr int64_t Small = int64_t(1) << 15;

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
// runs from 2·left + 2a to 2·right − 2a, so every quantity is an integer: with A = 2a, B = 2b and
// ey the row's doubled distance from the nearest corner centre, a column is inside when its
// doubled distance ex satisfies ex²·B² + ey²·A² ≤ A²·B². The largest such ex gives the run.
bool RoundRectShape::span(int y, int &first, int &last) const
{
    if (isEmpty() || y < m_top || y >= m_bottom)
        return false;
    const int64_t sum = m_left + m_right - 1; // first + last of every run
    if (m_cornerWidth == 0 || m_cornerHeight == 0) {
        first = int(m_left);
        last = int(m_right - 1);
        return true;
    }
    const int64_t cy = 2 * int64_t(y) + 1;
    const int64_t ey = std::max<int64_t>({0, 2 * m_top + m_cornerHeight - cy, cy - (2 * m_bottom - m_cornerHeight)});
    int64_t ex = 0;
    if (m_cornerWidth < Small && m_cornerHeight < Small) { // the usual sizes fit 64 bits
        const int64_t a2 = m_cornerWidth * m_cornerWidth, b2 = m_cornerHeight * m_cornerHeight;
        const int64_t room = a2 * (b2 - ey * ey);
        if (room < 0)
            return false;
        ex = static_cast<int64_t>(std::sqrt(double(room) / double(b2)));
        while (ex > 0 && ex * ex * b2 > room)
            --ex;
        while ((ex + 1) * (ex + 1) * b2 <= room)
            ++ex;
    } else {
        const __int128 a2 = __int128(m_cornerWidth) * m_cornerWidth;
        const __int128 b2 = __int128(m_cornerHeight) * m_cornerHeight;
        const __int128 room = a2 * (b2 - __int128(ey) * ey);
        if (room < 0)
            return false;
        ex = static_cast<int64_t>(std::sqrt(static_cast<long double>(room) / static_cast<long double>(b2)));
        while (ex > 0 && __int128(ex) * ex * b2 > room)
            --ex;
        while (__int128(ex + 1) * (ex + 1) * b2 <= room)
            ++ex;
    }
    // Columns x with 2·left + A − (2x + 1) ≤ ex, i.e. x ≥ ⌈(2·left + A − 1 − ex) / 2⌉.
    const int64_t n = 2 * m_left + m_cornerWidth - 1 - ex;
    const int64_t from = std::max<int64_t>(m_left, n >= 0 ? (n + 1) / 2 : -((-n) / 2));
    if (2 * from > sum)
        return false;
    first = int(from);
    last = int(sum - from);
    return true;
}
