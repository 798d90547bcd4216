#include "controls/progressbar/paint/ConstantBlend.h"

#include "drawing/Surface.h"

namespace {

// Red and blue (mask 0x00FF00FF) or green (0x0000FF00) of s and d blended in one word. Each
// lane holds at most 255·255 + 128 < 2^16, so lanes never carry into each other; for such x,
// (t + (t >> 8)) >> 8 with t = x + 128 is x / 255 rounded, and x / 255 never ends in a half.
inline uint32_t blendLanes(uint32_t s, uint32_t d, uint32_t a, uint32_t mask, int shift)
{
    const uint32_t sl = (s >> shift) & 0x00FF00FFu;
    const uint32_t dl = (d >> shift) & 0x00FF00FFu;
    uint32_t t = sl * a + dl * (255 - a) + 0x00800080u;
    t = ((t + ((t >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    return (t << shift) & mask;
}

} // namespace

void blendWhole(Surface &destination, const std::vector<uint32_t> &sourceBits, int width, int height,
                uint8_t alpha)
{
    const size_t count = size_t(width > 0 ? width : 0) * size_t(height > 0 ? height : 0);
    if (count == 0 || sourceBits.size() < count)
        return;
    std::vector<uint32_t> bits = destination.getDIBits(width, height);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t s = sourceBits[i];
        const uint32_t d = bits[i];
        bits[i] = blendLanes(s, d, alpha, 0x00FF00FFu, 0) | blendLanes(s, d, alpha, 0x0000FF00u, 8);
    }
    destination.setDIBits(0, 0, width, height, bits);
}
