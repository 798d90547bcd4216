#include "Resample.h"

#include <algorithm>

Resample::Resample(int first, int count, int destLength, int sourceOrigin, int sourceLength, bool mirror,
                   int sourceLimit, bool withTaps)
{
    const int64_t d = destLength;
    const int64_t s = sourceLength;
    const auto toSource = [&](int64_t offset) { return sourceOrigin + (mirror ? s - 1 - offset : offset); };

    m_nearest.resize(count);
    for (int k = 0; k < count; ++k) {
        const int64_t i = first + k;
        const int64_t src = toSource((2 * i + 1) * s / (2 * d));
        m_nearest[k] = src >= 0 && src < sourceLimit ? int(src) : -1;
    }
    if (!withTaps)
        return;

    m_tapStart.reserve(count + 1);
    for (int k = 0; k < count; ++k) {
        m_tapStart.push_back(int(m_taps.size()));
        const int64_t i = first + k;
        // The interval [i·s, (i + 1)·s) in units of 1/d source pixels.
        const int64_t from = i * s, to = (i + 1) * s;
        const size_t begin = m_taps.size();
        uint32_t total = 0;
        size_t largest = begin;
        for (int64_t j = from / d; j * d < to; ++j) {
            const int64_t overlap = std::min(to, (j + 1) * d) - std::max(from, j * d);
            const auto weight = uint32_t((overlap * 65536 + s / 2) / s);
            const int64_t src = std::clamp<int64_t>(toSource(j), 0, sourceLimit - 1);
            m_taps.push_back({int(src), weight});
            total += weight;
            if (weight > m_taps[largest].weight)
                largest = m_taps.size() - 1;
        }
        m_taps[largest].weight += 65536 - total;
    }
    m_tapStart.push_back(int(m_taps.size()));
}
