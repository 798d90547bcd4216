#pragma once

#include <QRgb>

#include <array>
#include <cmath>
#include <cstdint>

// Per-pixel arithmetic of the surface, each with its rounding rule beside it. Pixels are
// 0xFFRRGGBB words; the fourth byte is written as 0xFF and never read.
namespace PixelOps {

inline constexpr uint32_t Opaque = 0xFF000000u;

inline uint32_t opaque(uint32_t rgb) { return rgb | Opaque; }

// n / d for d > 0, rounded to nearest with halves to even.
inline int64_t divRoundHalfEven(int64_t n, int64_t d)
{
    int64_t q = n / d;
    int64_t r = n % d;
    if (r < 0) {
        r += d;
        --q;
    }
    if (2 * r > d || (2 * r == d && (q & 1)))
        ++q;
    return q;
}

// Straight constant-alpha blend of one channel: round((s·a + d·(255 − a)) / 255); 255 is odd,
// so there is never a tie.
// Kept in 16 bits (at most 65025 + 128), which lets the compiler use 16-bit vector lanes.
inline uint8_t blendStraight(uint8_t s, uint8_t d, uint16_t a)
{
    // With x = v + 128, (x + (x >> 8)) >> 8 equals (v + 127) / 255 for every v up to 255².
    const auto x = uint16_t(uint16_t(s * a) + uint16_t(d * uint16_t(255 - a)) + 128);
    return static_cast<uint8_t>(uint16_t(x + (x >> 8)) >> 8);
}

// Additive blend of one channel (premultiplied source whose alpha byte is 0):
// min(255, d + round(s·a / 255)).
inline uint8_t blendAdditive(uint8_t s, uint8_t d, uint16_t a)
{
    const auto x = uint16_t(uint16_t(s * a) + 128);
    const auto v = uint16_t(d + (uint16_t(x + (x >> 8)) >> 8));
    return static_cast<uint8_t>(v > 255 ? 255 : v);
}

// The brightness of the HALFTONE colour adjustment (-100..100) moves every channel that many
// percent of the way towards white (positive) or black (negative), rounded half to even:
// c + (255 − c)·b / 100, or c + c·b / 100. 0 changes nothing; ±100 gives white or black.
inline std::array<uint8_t, 256> brightnessTable(int brightness)
{
    std::array<uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        const int room = brightness >= 0 ? 255 - c : c;
        table[c] = static_cast<uint8_t>(c + divRoundHalfEven(int64_t(room) * brightness, 100));
    }
    return table;
}

} // namespace PixelOps
