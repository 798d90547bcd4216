#include "drawing/Resample.h"

#include <algorithm>

Resample::Resample(int first, int count, int destLength, int sourceOrigin, int sourceLength, bool mirror,
                   int sourceLimit, bool withTaps)
{
    const int64_t d = destLength;
    const int64_t s = sourceLength;
    const auto toSource = [&](int64_t offset) { return sourceOrigin + (mirror ? s - 1 - offset : offset); };

    m_nearest.resize(count);
    for (int k = 0; k < count; ++k) {
        const __int128 i = first + k;
        const int64_t src = toSource(int64_t((2 * i + 1) * s / (2 * d)));
        m_nearest[k] = src >= 0 && src < sourceLimit ? int(src) : -1;
    }
    if (!withTaps)
        return;

    // Offsets whose source pixel lies on the source surface; the parts of an interval beyond
    // them fall to the edge pixel.
    const int64_t validLo = std::max<int64_t>(0, mirror ? int64_t(sourceOrigin) + s - sourceLimit : -int64_t(sourceOrigin));
    const int64_t validHi = std::min<int64_t>(s - 1, mirror ? int64_t(sourceOrigin) + s - 1
                                                            : int64_t(sourceLimit) - 1 - sourceOrigin);
    m_tapStart.reserve(count + 1);
    for (int k = 0; k < count; ++k) {
        m_tapStart.push_back(int(m_taps.size()));
        const size_t begin = m_taps.size();
        if (validLo > validHi) {
            m_taps.push_back({0, 65536});
            continue;
        }
        // The interval [i·s, (i + 1)·s) in units of 1/d source pixels.
        const int64_t i = first + k;
        const __int128 from = __int128(i) * s, to = __int128(i + 1) * s;
        const int64_t jFrom = std::clamp<int64_t>(int64_t(from / d), validLo, validHi);
        const int64_t jTo = std::clamp<int64_t>(int64_t((to - 1) / d), validLo, validHi);
        uint32_t total = 0;
        size_t largest = begin;
        for (int64_t j = jFrom; j <= jTo; ++j) {
            const __int128 lo = j == validLo ? from : std::max<__int128>(from, __int128(j) * d);
            const __int128 hi = j == validHi ? to : std::min<__int128>(to, __int128(j + 1) * d);
            const int64_t overlap = hi > lo ? int64_t(hi - lo) : 0;
            const auto weight = uint32_t((__int128(overlap) * 65536 + s / 2) / s);
            m_taps.push_back({int(toSource(j)), weight});
            total += weight;
            if (weight > m_taps[largest].weight)
                largest = m_taps.size() - 1;
        }
        m_taps[largest].weight += 65536 - total;
    }
    m_tapStart.push_back(int(m_taps.size()));
}
