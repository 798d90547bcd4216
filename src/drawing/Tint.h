#pragma once

#include <array>
#include <cstdint>
#include <span>

// The colour transform of the tint: saturation about the luma axis, then a hue rotation about
// the grey axis, then a brightness offset. From the arguments (-100..100) it takes
//   saturation value S = Saturation·255/100 when negative, else Saturation·512/100,
//   hue value        H = (Hue + 100)·350/200,
//   brightness value B = Bright·255/100, each rounded half to even;
// then the saturation factor s = (255 + S) / 255 (0 grey .. about 3), the hue angle
// θ = H − 175 degrees (red towards green for positive) and the offset B in levels:
//   out = clamp(Rot(θ) · (s·I + (1 − s)·L) · in + B), L's rows the luma weights .299 .587 .114,
//   Rot(θ) = cos θ·I + (1 − cos θ)/3·J + sin θ/√3·K, J all ones, K the cross product with (1,1,1).
// The matrix is applied in 16.16 fixed point, rounded to nearest (halves up); all three
// arguments 0 give the identity exactly.
class Tint {
public:
    struct Values {
        int saturation;
        int hue;
        int brightness;
    };
    static Values values(int bright, int hue, int saturation);

    Tint(int bright, int hue, int saturation);

    bool isIdentity() const { return m_identity; }
    // Transforms 0x..RRGGBB pixels in place; the fourth byte is left as it is.
    void apply(std::span<uint32_t> pixels) const;

private:
    std::array<int32_t, 9> m_matrix{};
    int32_t m_offset = 0;
    bool m_identity = true;
};
