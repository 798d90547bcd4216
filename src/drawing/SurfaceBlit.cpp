#include "drawing/Surface.h"

#include "drawing/PixelOps.h"
#include "drawing/Resample.h"

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

uint32_t channel(uint32_t p, int byte) { return (p >> (8 * byte)) & 0xFF; }

// Pixel operations of the copies. pixel() writes one destination pixel from its source sample;
// row() does the same for a run of one-to-one pixels, written so that the compiler vectorises it.
struct CopyOp {
    void pixel(QRgb &d, uint32_t s) const { d = PixelOps::opaque(s); }
    void row(QRgb *__restrict d, const uint32_t *__restrict s, int n) const
    {
        for (int i = 0; i < n; ++i)
            d[i] = PixelOps::opaque(s[i]);
    }
};

struct TableOp { // the brightness adjustment of a HALFTONE stretch
    const uint8_t *table;
    void pixel(QRgb &d, uint32_t s) const
    {
        d = PixelOps::Opaque | (uint32_t(table[channel(s, 2)]) << 16) | (uint32_t(table[channel(s, 1)]) << 8)
            | table[channel(s, 0)];
    }
    // Whole pixels: a byte-wise loop would be vectorised through the stack and run slower.
    void row(QRgb *d, const uint32_t *s, int n) const
    {
        for (int i = 0; i < n; ++i)
            pixel(d[i], s[i]);
    }
};

// One blend applied to each colour byte alike; the fourth byte is set opaque afterwards.
template <uint8_t (*Blend)(uint8_t, uint8_t, uint16_t)>
struct ChannelOp {
    uint16_t alpha;
    void pixel(QRgb &d, uint32_t s) const
    {
        d = PixelOps::Opaque | (uint32_t(Blend(uint8_t(channel(s, 2)), uint8_t(channel(d, 2)), alpha)) << 16)
            | (uint32_t(Blend(uint8_t(channel(s, 1)), uint8_t(channel(d, 1)), alpha)) << 8)
            | Blend(uint8_t(channel(s, 0)), uint8_t(channel(d, 0)), alpha);
    }
    void row(QRgb *__restrict d, const uint32_t *__restrict s, int n) const
    {
        auto *db = reinterpret_cast<uint8_t *>(d);
        const auto *sb = reinterpret_cast<const uint8_t *>(s);
        const auto a = uint16_t(alpha); // a local, so that the byte stores cannot alias it
        for (int i = 0; i < 4 * n; ++i)
            db[i] = Blend(sb[i], db[i], a);
        for (int i = 0; i < n; ++i)
            d[i] |= PixelOps::Opaque;
    }
};
using StraightOp = ChannelOp<PixelOps::blendStraight>;
using AdditiveOp = ChannelOp<PixelOps::blendAdditive>;

struct KeyOp { // TransparentBlt
    uint32_t key;
    void pixel(QRgb &d, uint32_t s) const
    {
        if ((s & 0x00FFFFFFu) != key)
            d = PixelOps::opaque(s);
    }
    void row(QRgb *d, const uint32_t *s, int n) const
    {
        for (int i = 0; i < n; ++i)
            pixel(d[i], s[i]);
    }
};

// Pictures are composed premultiplied: d = s + d·(255 − a) / 255 per channel, rounded, then the
// brightness table; an opaque picture is a plain copy.
struct ComposeOp {
    const uint8_t *table;
    void pixel(QRgb &d, uint32_t s) const
    {
        const uint32_t a = channel(s, 3);
        uint32_t out = PixelOps::Opaque;
        for (int b = 0; b < 3; ++b) {
            const uint32_t v = channel(s, b) + PixelOps::blendAdditive(uint8_t(channel(d, b)), 0, uint16_t(255 - a));
            out |= uint32_t(table[std::min<uint32_t>(v, 255)]) << (8 * b);
        }
        d = out;
    }
    void row(QRgb *d, const uint32_t *s, int n) const
    {
        for (int i = 0; i < n; ++i)
            pixel(d[i], s[i]);
    }
};

// Two channels of a pixel in the 32-bit lanes of a 64-bit word, so that one multiplication
// weighs both: bytes 0 and 2, or bytes 1 and 3.
uint64_t evenLanes(uint32_t p) { return (p & 0xFFu) | (uint64_t(p & 0xFF0000u) << 16); }
uint64_t oddLanes(uint32_t p) { return ((p >> 8) & 0xFFu) | (uint64_t((p >> 24) & 0xFFu) << 32); }
uint64_t perLaneShift8(uint64_t v) { return ((v & 0xFFFFFFFFu) >> 8) | ((v >> 40) << 32); }

// Maps the source rectangle of src onto the destination rectangle of dst and hands every
// destination pixel on the surface, with its source sample, to the operation. Samples are whole
// 32-bit words; area sampling averages all four bytes.
template <class Op>
void resampleInto(QImage &dst, int x, int y, int w, int h, const QImage &src, int sx, int sy, int sw, int sh,
                  Sampling sampling, const Op &op)
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
        const int64_t shift = int64_t(sx) - x;
        const int from = int(std::max<int64_t>(x0, -shift));
        const int to = int(std::min<int64_t>(x1, src.width() - shift));
        if (from >= to)
            return;
        for (int dy = y0; dy < y1; ++dy) {
            const int64_t srcY = int64_t(sy) + (dy - y);
            if (srcY < 0 || srcY >= src.height())
                continue;
            const auto *srcRow = reinterpret_cast<const uint32_t *>(src.constScanLine(int(srcY)));
            auto *dstRow = reinterpret_cast<QRgb *>(dst.scanLine(dy));
            op.row(dstRow + from, srcRow + from + shift, to - from);
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
                    op.pixel(dstRow[x0 + c], srcRow[srcX]);
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
    std::vector<uint64_t> horizontal(size_t(rowTo - rowFrom + 1) * columns * 2);
    constexpr uint64_t HalfStep = (uint64_t(128) << 32) | 128;
    for (int r = rowFrom; r <= rowTo; ++r) {
        const auto *srcRow = reinterpret_cast<const uint32_t *>(src.constScanLine(r));
        uint64_t *out = horizontal.data() + size_t(r - rowFrom) * columns * 2;
        for (int c = 0; c < columns; ++c) {
            uint64_t even = HalfStep, odd = HalfStep;
            for (const Resample::Tap *t = mapX.tapsBegin(c); t != mapX.tapsEnd(c); ++t) {
                even += t->weight * evenLanes(srcRow[t->source]);
                odd += t->weight * oddLanes(srcRow[t->source]);
            }
            out[2 * c] = perLaneShift8(even);
            out[2 * c + 1] = perLaneShift8(odd);
        }
    }
    constexpr uint64_t Rounding = (uint64_t(1) << 55) | (uint64_t(1) << 23);
    for (int k = 0; k < y1 - y0; ++k) {
        if (mapY.nearest(k) < 0)
            continue;
        auto *dstRow = reinterpret_cast<QRgb *>(dst.scanLine(y0 + k));
        for (int c = 0; c < columns; ++c) {
            if (mapX.nearest(c) < 0)
                continue;
            uint64_t even = Rounding, odd = Rounding;
            for (const Resample::Tap *t = mapY.tapsBegin(k); t != mapY.tapsEnd(k); ++t) {
                const uint64_t *h = horizontal.data() + (size_t(t->source - rowFrom) * columns + c) * 2;
                even += t->weight * h[0];
                odd += t->weight * h[1];
            }
            const uint32_t sample = uint32_t((even >> 24) & 0xFF) | uint32_t(((odd >> 24) & 0xFF) << 8)
                                    | uint32_t(((even >> 56) & 0xFF) << 16) | uint32_t(((odd >> 56) & 0xFF) << 24);
            op.pixel(dstRow[x0 + c], sample);
        }
    }
}

} // namespace

void Surface::setPicture(const QImage &picture)
{
    const QImage source = picture; // the picture may be this surface's own image
    clear();
    if (!source.isNull() && !m_image.isNull())
        composePicture(source, 0, 0, source.width(), source.height(), false);
}

bool Surface::paintPicture(const QImage &picture, int x, int y, int width, int height)
{
    if (picture.isNull())
        return false;
    composePicture(picture, x, y, width, height, m_stretchMode == StretchMode::Halftone);
    return true;
}

bool Surface::alphaComposite(const QImage &picture, int x, int y, int width, int height)
{
    if (picture.isNull())
        return false;
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const auto table = PixelOps::brightnessTable(0);
    resampleInto(m_image, x, y, width, height, source, 0, 0, source.width(), source.height(), Sampling::Area,
                 ComposeOp{table.data()});
    return true;
}

void Surface::composePicture(const QImage &picture, int x, int y, int width, int height, bool halftone)
{
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const auto table = PixelOps::brightnessTable(halftone ? m_brightness : 0);
    resampleInto(m_image, x, y, width, height, source, 0, 0, source.width(), source.height(),
                 halftone ? Sampling::Area : Sampling::Nearest, ComposeOp{table.data()});
}

void Surface::bitBlt(int x, int y, int width, int height, const Surface &source, int sx, int sy)
{
    if (width <= 0 || height <= 0)
        return;
    const QImage src = source.m_image; // keeps the source intact when it is this surface
    resampleInto(m_image, x, y, width, height, src, sx, sy, width, height, Sampling::Nearest, CopyOp{});
}

void Surface::stretchBlt(int x, int y, int width, int height, const Surface &source, int sx, int sy,
                         int sourceWidth, int sourceHeight)
{
    const bool unchanged = m_stretchMode != StretchMode::Halftone || m_brightness == 0;
    const bool ontoItself = &source == this && x == sx && y == sy && width == sourceWidth && height == sourceHeight;
    if (ontoItself && unchanged)
        return; // a rectangle stretched onto itself one to one
    if (ontoItself) {
        // Each pixel changes from itself alone, so the brightness applies in place, without a
        // copy of the whole image for a rectangle that may be small. Detached first, so that
        // reading and writing see one buffer.
        m_image.detach();
        const auto table = PixelOps::brightnessTable(m_brightness);
        resampleInto(m_image, x, y, width, height, m_image, sx, sy, sourceWidth, sourceHeight, Sampling::Area,
                     TableOp{table.data()});
        return;
    }
    const QImage src = source.m_image;
    if (m_stretchMode != StretchMode::Halftone) {
        resampleInto(m_image, x, y, width, height, src, sx, sy, sourceWidth, sourceHeight, Sampling::Nearest,
                     CopyOp{});
        return;
    }
    if (m_brightness == 0) {
        resampleInto(m_image, x, y, width, height, src, sx, sy, sourceWidth, sourceHeight, Sampling::Area, CopyOp{});
        return;
    }
    const auto table = PixelOps::brightnessTable(m_brightness);
    resampleInto(m_image, x, y, width, height, src, sx, sy, sourceWidth, sourceHeight, Sampling::Area,
                 TableOp{table.data()});
}

void Surface::alphaBlend(int x, int y, int width, int height, const Surface &source, int sx, int sy,
                         int sourceWidth, int sourceHeight, uint8_t alpha, AlphaFormat format)
{
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    const QImage src = source.m_image;
    if (format == AlphaFormat::Straight)
        resampleInto(m_image, x, y, width, height, src, sx, sy, sourceWidth, sourceHeight, Sampling::Nearest,
                     StraightOp{alpha});
    else if (format == AlphaFormat::Premultiplied)
        resampleInto(m_image, x, y, width, height, src, sx, sy, sourceWidth, sourceHeight, Sampling::Nearest,
                     AdditiveOp{alpha});
}

void Surface::transparentBlt(int x, int y, int width, int height, const Surface &source, int sx, int sy,
                             int sourceWidth, int sourceHeight, OleColor key)
{
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    const QImage src = source.m_image;
    resampleInto(m_image, x, y, width, height, src, sx, sy, sourceWidth, sourceHeight, Sampling::Nearest,
                 KeyOp{Color::toQRgb(key) & 0x00FFFFFFu});
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
