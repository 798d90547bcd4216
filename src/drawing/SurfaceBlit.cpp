#include "Surface.h"

#include "PixelOps.h"
#include "Resample.h"

#include <algorithm>

namespace {

// A rectangle given by an origin and a signed extent; a negative extent runs back from the
// origin, covering origin + extent + 1 .. origin (the platform's mirroring convention).
bool normalise(int &origin, int &extent)
{
    if (extent >= 0)
        return false;
    origin = int(std::clamp<int64_t>(int64_t(origin) + extent + 1, INT32_MIN, INT32_MAX));
    extent = -extent;
    return true;
}

enum class Sampling { Nearest, Area };

// Maps the source rectangle of src onto the destination rectangle of dst and hands every
// destination pixel on the surface, with its source sample, to write(destinationPixel, sample).
// Samples are whole 32-bit words; area sampling averages all four bytes.
template <class Write>
void resampleInto(QImage &dst, int x, int y, int w, int h, const QImage &src, int sx, int sy, int sw, int sh,
                  Sampling sampling, Write write)
{
    if (w == 0 || h == 0 || sw == 0 || sh == 0 || dst.isNull() || src.isNull())
        return;
    const bool mirrorX = normalise(x, w) != normalise(sx, sw);
    const bool mirrorY = normalise(y, h) != normalise(sy, sh);
    const int x0 = int(std::max<int64_t>(x, 0)), x1 = int(std::min<int64_t>(int64_t(x) + w, dst.width()));
    const int y0 = int(std::max<int64_t>(y, 0)), y1 = int(std::min<int64_t>(int64_t(y) + h, dst.height()));
    if (x0 >= x1 || y0 >= y1)
        return;

    if (w == sw && h == sh && !mirrorX && !mirrorY) {
        // One to one: every sampling is the plain copy.
        for (int dy = y0; dy < y1; ++dy) {
            const int64_t srcY = int64_t(sy) + (dy - y);
            if (srcY < 0 || srcY >= src.height())
                continue;
            const auto *srcRow = reinterpret_cast<const uint32_t *>(src.constScanLine(int(srcY)));
            auto *dstRow = reinterpret_cast<QRgb *>(dst.scanLine(dy));
            const int from = int(std::max<int64_t>(x0, int64_t(x) - sx));
            const int to = int(std::min<int64_t>(x1, int64_t(x) - sx + src.width()));
            const int64_t shift = int64_t(sx) - x;
            for (int dx = from; dx < to; ++dx)
                write(dstRow[dx], srcRow[dx + shift]);
        }
        return;
    }

    const bool area = sampling == Sampling::Area;
    const Resample mapX(x0 - x, x1 - x0, w, sx, sw, mirrorX, src.width(), area);
    const Resample mapY(y0 - y, y1 - y0, h, sy, sh, mirrorY, src.height(), area);
    const int columns = x1 - x0;

    if (!area) {
        for (int k = 0; k < y1 - y0; ++k) {
            const int srcY = mapY.nearest(k);
            if (srcY < 0)
                continue;
            const auto *srcRow = reinterpret_cast<const uint32_t *>(src.constScanLine(srcY));
            auto *dstRow = reinterpret_cast<QRgb *>(dst.scanLine(y0 + k));
            for (int c = 0; c < columns; ++c) {
                const int srcX = mapX.nearest(c);
                if (srcX >= 0)
                    write(dstRow[x0 + c], srcRow[srcX]);
            }
        }
        return;
    }

    // Separable area average: the horizontal pass keeps 1/256 of a level per byte, the vertical
    // pass sums in 1/2^24 and rounds halves up.
    int rowFrom = src.height(), rowTo = -1;
    for (int k = 0; k < y1 - y0; ++k)
        for (const Resample::Tap *t = mapY.tapsBegin(k); t != mapY.tapsEnd(k); ++t) {
            rowFrom = std::min(rowFrom, t->source);
            rowTo = std::max(rowTo, t->source);
        }
    std::vector<uint32_t> horizontal(size_t(rowTo - rowFrom + 1) * columns * 4);
    for (int r = rowFrom; r <= rowTo; ++r) {
        const auto *srcRow = reinterpret_cast<const uint32_t *>(src.constScanLine(r));
        uint32_t *out = horizontal.data() + size_t(r - rowFrom) * columns * 4;
        for (int c = 0; c < columns; ++c) {
            uint32_t sum[4] = {128, 128, 128, 128};
            for (const Resample::Tap *t = mapX.tapsBegin(c); t != mapX.tapsEnd(c); ++t) {
                const uint32_t p = srcRow[t->source];
                for (int b = 0; b < 4; ++b)
                    sum[b] += t->weight * ((p >> (8 * b)) & 0xFF);
            }
            for (int b = 0; b < 4; ++b)
                out[c * 4 + b] = sum[b] >> 8;
        }
    }
    for (int k = 0; k < y1 - y0; ++k) {
        if (mapY.nearest(k) < 0)
            continue;
        auto *dstRow = reinterpret_cast<QRgb *>(dst.scanLine(y0 + k));
        for (int c = 0; c < columns; ++c) {
            if (mapX.nearest(c) < 0)
                continue;
            uint32_t sum[4] = {1u << 23, 1u << 23, 1u << 23, 1u << 23};
            for (const Resample::Tap *t = mapY.tapsBegin(k); t != mapY.tapsEnd(k); ++t) {
                const uint32_t *h = horizontal.data() + (size_t(t->source - rowFrom) * columns + c) * 4;
                for (int b = 0; b < 4; ++b)
                    sum[b] += t->weight * h[b];
            }
            write(dstRow[x0 + c], (sum[0] >> 24) | ((sum[1] >> 24) << 8) | ((sum[2] >> 24) << 16) | ((sum[3] >> 24) << 24));
        }
    }
}

uint32_t channel(uint32_t p, int byte) { return (p >> (8 * byte)) & 0xFF; }

} // namespace

void Surface::setPicture(const QImage &picture)
{
    clear();
    if (!picture.isNull() && !m_image.isNull())
        composePicture(picture, 0, 0, picture.width(), picture.height(), false);
}

bool Surface::paintPicture(const QImage &picture, int x, int y, int width, int height)
{
    if (picture.isNull())
        return false;
    composePicture(picture, x, y, width, height, m_stretchMode == StretchMode::Halftone);
    return true;
}

// Pictures are composed premultiplied: d = s + d·(255 − a) / 255 per channel, rounded; an
// opaque picture is a plain copy. A HALFTONE stretch applies the brightness adjustment.
void Surface::composePicture(const QImage &picture, int x, int y, int width, int height, bool halftone)
{
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const auto table = PixelOps::brightnessTable(halftone ? m_brightness : 0);
    resampleInto(m_image, x, y, width, height, source, 0, 0, source.width(), source.height(),
                 halftone ? Sampling::Area : Sampling::Nearest, [&](QRgb &d, uint32_t s) {
                     const uint32_t a = channel(s, 3);
                     uint32_t out = PixelOps::Opaque;
                     for (int b = 0; b < 3; ++b) {
                         const uint32_t v = channel(s, b) + (channel(d, b) * (255 - a) + 127) / 255;
                         out |= uint32_t(table[std::min<uint32_t>(v, 255)]) << (8 * b);
                     }
                     d = out;
                 });
}

void Surface::bitBlt(int x, int y, int width, int height, const Surface &source, int sx, int sy)
{
    if (width <= 0 || height <= 0)
        return;
    const QImage src = source.m_image; // keeps the source intact when it is this surface
    resampleInto(m_image, x, y, width, height, src, sx, sy, width, height, Sampling::Nearest,
                 [](QRgb &d, uint32_t s) { d = PixelOps::opaque(s); });
}

void Surface::stretchBlt(int x, int y, int width, int height, const Surface &source, int sx, int sy,
                         int sourceWidth, int sourceHeight)
{
    const QImage src = source.m_image;
    if (m_stretchMode != StretchMode::Halftone) {
        resampleInto(m_image, x, y, width, height, src, sx, sy, sourceWidth, sourceHeight, Sampling::Nearest,
                     [](QRgb &d, uint32_t s) { d = PixelOps::opaque(s); });
        return;
    }
    const auto table = PixelOps::brightnessTable(m_brightness);
    resampleInto(m_image, x, y, width, height, src, sx, sy, sourceWidth, sourceHeight, Sampling::Area,
                 [&](QRgb &d, uint32_t s) {
                     d = PixelOps::Opaque | (uint32_t(table[channel(s, 2)]) << 16)
                         | (uint32_t(table[channel(s, 1)]) << 8) | table[channel(s, 0)];
                 });
}

void Surface::alphaBlend(int x, int y, int width, int height, const Surface &source, int sx, int sy,
                         int sourceWidth, int sourceHeight, uint8_t alpha, AlphaFormat format)
{
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    if (format != AlphaFormat::Straight && format != AlphaFormat::Premultiplied)
        return;
    const QImage src = source.m_image;
    const int a = alpha;
    if (format == AlphaFormat::Straight) {
        resampleInto(m_image, x, y, width, height, src, sx, sy, sourceWidth, sourceHeight, Sampling::Nearest,
                     [a](QRgb &d, uint32_t s) {
                         d = PixelOps::Opaque | (uint32_t(PixelOps::blendStraight(channel(s, 2), channel(d, 2), a)) << 16)
                             | (uint32_t(PixelOps::blendStraight(channel(s, 1), channel(d, 1), a)) << 8)
                             | PixelOps::blendStraight(channel(s, 0), channel(d, 0), a);
                     });
    } else {
        resampleInto(m_image, x, y, width, height, src, sx, sy, sourceWidth, sourceHeight, Sampling::Nearest,
                     [a](QRgb &d, uint32_t s) {
                         d = PixelOps::Opaque | (uint32_t(PixelOps::blendAdditive(channel(s, 2), channel(d, 2), a)) << 16)
                             | (uint32_t(PixelOps::blendAdditive(channel(s, 1), channel(d, 1), a)) << 8)
                             | PixelOps::blendAdditive(channel(s, 0), channel(d, 0), a);
                     });
    }
}

void Surface::transparentBlt(int x, int y, int width, int height, const Surface &source, int sx, int sy,
                             int sourceWidth, int sourceHeight, OleColor key)
{
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    const QImage src = source.m_image;
    const uint32_t keyRgb = Color::toQRgb(key) & 0x00FFFFFFu;
    resampleInto(m_image, x, y, width, height, src, sx, sy, sourceWidth, sourceHeight, Sampling::Nearest,
                 [keyRgb](QRgb &d, uint32_t s) {
                     if ((s & 0x00FFFFFFu) != keyRgb)
                         d = PixelOps::opaque(s);
                 });
}

std::vector<uint32_t> Surface::getDIBits(int width, int height) const
{
    if (width <= 0 || height <= 0)
        return {};
    std::vector<uint32_t> bits(size_t(width) * size_t(height), 0);
    const int w = std::min(width, this->width());
    for (int y = 0; y < std::min(height, this->height()); ++y) {
        const auto *row = reinterpret_cast<const uint32_t *>(m_image.constScanLine(y));
        uint32_t *out = bits.data() + size_t(y) * width;
        for (int x = 0; x < w; ++x)
            out[x] = row[x] & 0x00FFFFFFu;
    }
    return bits;
}

void Surface::setDIBits(int x, int y, int width, int height, std::span<const uint32_t> bits)
{
    if (width <= 0 || height <= 0 || bits.size() < size_t(width) * size_t(height))
        return;
    const int x0 = int(std::max<int64_t>(x, 0)), x1 = int(std::min<int64_t>(int64_t(x) + width, this->width()));
    const int y0 = int(std::max<int64_t>(y, 0)), y1 = int(std::min<int64_t>(int64_t(y) + height, this->height()));
    for (int dy = y0; dy < y1; ++dy) {
        const uint32_t *in = bits.data() + size_t(dy - y) * width;
        auto *row = reinterpret_cast<QRgb *>(m_image.scanLine(dy));
        for (int dx = x0; dx < x1; ++dx)
            row[dx] = PixelOps::opaque(in[dx - x]);
    }
}
