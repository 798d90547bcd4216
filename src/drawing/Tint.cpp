#include "drawing/Tint.h"

#include "common/Rounding.h"
#include "drawing/Color.h"
#include "drawing/Surface.h"

#include <cmath>

Tint::Values Tint::values(int bright, int hue, int saturation)
{
    using Rounding::roundHalfEven;
    return {
        int(roundHalfEven(saturation < 0 ? saturation * 255 / 100.0 : saturation * 512 / 100.0)),
        int(roundHalfEven((hue + 100) * 350 / 200.0)),
        int(roundHalfEven(bright * 255 / 100.0)),
    };
}

Tint::Tint(int bright, int hue, int saturation)
{
    const Values v = values(bright, hue, saturation);
    const double s = (255.0 + v.saturation) / 255.0;
    const double theta = (v.hue - 175) * M_PI / 180.0;
    const double luma[3] = {0.299, 0.587, 0.114};
    const double c = std::cos(theta), sn = std::sin(theta) / std::sqrt(3.0), j = (1.0 - c) / 3.0;
    const double rotation[3][3] = {{c + j, j - sn, j + sn}, {j + sn, c + j, j - sn}, {j - sn, j + sn, c + j}};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
            double sum = 0;
            for (int k = 0; k < 3; ++k) {
                const double saturate = (k == col ? s : 0.0) + (1.0 - s) * luma[col];
                sum += rotation[row][k] * saturate;
            }
            m_matrix[row * 3 + col] = int32_t(std::lround(sum * 65536));
        }
    m_offset = v.brightness;
    m_identity = m_offset == 0 && m_matrix == std::array<int32_t, 9>{65536, 0, 0, 0, 65536, 0, 0, 0, 65536};
}

void Tint::apply(std::span<uint32_t> pixels) const
{
    if (m_identity)
        return;
    const int32_t offset = m_offset * 65536 + 32768;
    for (uint32_t &p : pixels) {
        const int32_t in[3] = {int32_t((p >> 16) & 0xFF), int32_t((p >> 8) & 0xFF), int32_t(p & 0xFF)};
        uint32_t out = p & 0xFF000000u;
        for (int row = 0; row < 3; ++row) {
            const int32_t v = (m_matrix[row * 3] * in[0] + m_matrix[row * 3 + 1] * in[1]
                               + m_matrix[row * 3 + 2] * in[2] + offset) >> 16;
            out |= uint32_t(v < 0 ? 0 : (v > 255 ? 255 : v)) << (8 * (2 - row));
        }
        p = out;
    }
}

namespace Color {

void TintPicture(Surface &picture, int bright, int hue, int saturation)
{
    const int w = picture.width(), h = picture.height();
    const Tint tint(bright, hue, saturation);
    if (!tint.isIdentity())
        for (int y = 0; y < h; ++y)
            tint.apply({reinterpret_cast<uint32_t *>(picture.m_image.scanLine(y)), size_t(w)});
    picture.setStretchMode(Surface::StretchMode::Halftone);
    picture.stretchBlt(0, 0, w, h, picture, 0, 0, w, h);
}

} // namespace Color
