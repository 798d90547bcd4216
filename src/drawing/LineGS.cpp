#include "drawing/LineGS.h"

#include "common/MessageBoxes.h"
#include "common/Rounding.h"
#include "drawing/Surface.h"

#include <array>
#include <cmath>

namespace {

constexpr double HalfPi = 1.570796;
constexpr double DegreesToRadians = 0.017453289;

// A coordinate with no fractional part is nudged by 0.001 so that it never sits exactly
// between two pixels.
float nudged(double value)
{
    const auto v = static_cast<float>(value);
    const bool whole = std::abs(v) >= 8388608.0f || static_cast<float>(static_cast<int32_t>(v)) == v;
    return whole ? static_cast<float>(v + 0.001) : v;
}

void showNotReady(const char *operation)
{
    MessageBoxes::show(QStringLiteral("You must create a DIB array\r\nbefore calling %1.").arg(QLatin1String(operation)),
                       MessageBoxes::OkOnly);
}

// The four pixels a point with real coordinates is spread over, and their weights.
struct Splat {
    int x;
    int y0;
    int y1;
    uint8_t weights[4];
};

// Spreads the point over (x0, y0), (x0 + 1, y0), (x0, y1), (x0 + 1, y1), each weight rounded
// half to even to a byte. False for a point far outside any surface.
bool computeSplat(float px, float py, Splat &splat)
{
    const double x = px, y = py;
    const double x0 = Rounding::roundHalfEven(x);
    const double y0 = Rounding::roundHalfEven(y);
    const double y1 = Rounding::roundHalfEven(y + 1);
    if (!(std::abs(x0) < 2e9 && std::abs(y1) < 2e9 && std::abs(y0) < 2e9))
        return false;
    const double ax = 255 * (x0 + 0.5 - x);
    const double bx = 255 - ax;
    const double ay = y0 + 0.5 - y;
    const double by = y + 1 + 0.5 - y1;
    const auto weight = [](double w) { return static_cast<uint8_t>(Rounding::roundHalfEven(w)); };
    splat = {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(y1),
             {weight(ax * ay), weight(bx * ay), weight(by * ax), weight(by * bx)}};
    return true;
}

template <class Blend>
void applySplat(const Splat &s, Blend blend)
{
    blend(s.x, s.y0, s.weights[0]);
    blend(s.x + 1, s.y0, s.weights[1]);
    blend(s.x, s.y1, s.weights[2]);
    blend(s.x + 1, s.y1, s.weights[3]);
}

// The splats of recent arcs. They depend only on the arc's arguments, and the controls draw the
// same rounded shapes on every repaint, so they are computed once and replayed in order.
class ArcCache {
public:
    struct Key {
        int32_t x1, y1, radiusX, radiusY;
        float startAngle, stopAngle;
        int thickness;
        bool dibPlacement;
        bool operator==(const Key &) const = default;
    };
    static constexpr size_t MaxSplats = 4096; // longer arcs are not kept

    const std::vector<Splat> *find(const Key &key) const
    {
        for (const Entry &e : m_entries)
            if (e.used && e.key == key)
                return &e.splats;
        return nullptr;
    }
    void insert(const Key &key, std::vector<Splat> splats)
    {
        Entry &e = m_entries[m_next++ % m_entries.size()];
        e = {key, std::move(splats), true};
    }

private:
    struct Entry {
        Key key{};
        std::vector<Splat> splats;
        bool used = false;
    };
    std::array<Entry, 16> m_entries;
    size_t m_next = 0;
};

ArcCache &arcCache()
{
    thread_local ArcCache cache;
    return cache;
}

} // namespace

bool LineGS::DIB(Surface &surface, int width, int height)
{
    m_surface = &surface;
    m_width = width;
    m_height = height;
    m_bits = surface.getDIBits(width, height);
    m_ready = !m_bits.empty();
    return m_ready;
}

void LineGS::Array2Pic()
{
    if (!m_ready)
        return;
    m_surface->setDIBits(0, 0, m_width, m_height, m_bits);
    m_ready = false;
}

void LineGS::SetRGBComponents(OleColor colour)
{
    m_color = Color::translate(colour).value_or(0);
    m_red = m_color & 255;
    m_green = (m_color / 256) & 255;
    m_blue = m_color / 65536;
}

void LineGS::BlendPixelGP(Surface &hdc, int x, int y, int w) const
{
    if (w > 252) {
        hdc.setPixel(x, y, m_color);
        return;
    }
    const OleColor old = hdc.pixel(x, y);
    if (old == -1)
        return; // outside the surface
    const auto mix = [w](int colour, int previous) { return (w * colour + (255 - w) * previous) / 256; };
    hdc.setPixel(x, y, Color::RGB(mix(m_red, Color::red(old)), mix(m_green, Color::green(old)),
                                  mix(m_blue, Color::blue(old))));
}

void LineGS::BlendPixelDIB(int x, int y, int w) { blendDib(x, y, w); }

float LineGS::ArcStep(int32_t radiusX, int32_t radiusY, int thickness)
{
    const double k = thickness == 1 ? 0.5340707 : 1.0681413;
    const int32_t r = radiusX > radiusY ? radiusX : radiusY;
    if (r > 0)
        return static_cast<float>(k / r);
    if (r == 0)
        return static_cast<float>(k);
    return static_cast<float>(-k / r);
}

// The error-term line: the core pixel in full colour, the two pixels beside it across the line
// shaded by the error term (255 − G and G), end caps of weight E and 127 beyond each end.
template <class Plot, class Blend>
void LineGS::line(int x1, int y1, int x2, int y2, OleColor colour, Plot plot, Blend blend)
{
    int dx = x2 - x1, sx = 1;
    if (dx < 0) {
        sx = -1;
        dx = -dx;
    }
    int dy = y2 - y1, sy = 1;
    if (dy < 0) {
        sy = -1;
        dy = -dy;
    }
    if (dx + dy == 0)
        return;
    SetRGBComponents(colour);
    if (dy < dx) {
        const int e = (85 * dy) / dx;
        blend(x1 - sx, y1 - sy, e);
        blend(x1 - sx, y1, 127);
        blend(x2 + sx, y2 + sy, e);
        blend(x2 + sx, y2, 127);
        int err = dx / 2, x = x1, y = y1;
        for (int i = 0; i <= dx; ++i) {
            plot(x, y);
            const int g = (255 * err) / dx;
            blend(x, y - sy, 255 - g);
            blend(x, y + sy, g);
            err += dy;
            if (err >= dx) {
                err -= dx;
                y += sy;
            }
            x += sx;
        }
    } else {
        const int e = (85 * dx) / dy;
        blend(x1 - sx, y1 - sy, e);
        blend(x1, y1 - sy, 127);
        blend(x2 + sx, y2 + sy, e);
        blend(x2, y2 + sy, 127);
        int err = dy / 2, x = x1, y = y1;
        for (int i = 0; i <= dy; ++i) {
            plot(x, y);
            const int g = (255 * err) / dy;
            blend(x - sx, y, 255 - g);
            blend(x + sx, y, g);
            err += dx;
            if (err >= dy) {
                err -= dy;
                x += sx;
            }
            y += sy;
        }
    }
}

template <class Blend>
void LineGS::splatPoint(float px, float py, Blend blend)
{
    Splat splat;
    if (computeSplat(px, py, splat))
        applySplat(splat, blend);
}

// The angle counters are single precision, as the step is; a counter that can no longer grow
// by the step ends the loop instead of spinning forever.
template <class Blend>
void LineGS::circle(int32_t x1, int32_t y1, int32_t radiusX, int32_t radiusY, int thickness, Blend blend)
{
    const float step = ArcStep(radiusX, radiusY, thickness);
    const auto end = static_cast<float>(HalfPi);
    for (float t = 0; t <= end;) {
        const float dx = nudged(radiusX * std::cos(double(t)));
        const float dy = nudged(radiusY * std::sin(double(t)));
        splatPoint(float(x1 + double(dx) - 0.5), float(y1 - double(dy) - 0.5), blend);
        splatPoint(float(x1 + double(dx) - 0.5), float(y1 + double(dy) - 0.5), blend);
        splatPoint(float(x1 - double(dx) - 0.5), float(y1 + double(dy) - 0.5), blend);
        splatPoint(float(x1 - double(dx) - 0.5), float(y1 - double(dy) - 0.5), blend);
        const float next = t + step;
        if (next == t)
            break;
        t = next;
    }
}

template <class Blend>
void LineGS::arc(int32_t x1, int32_t y1, int32_t radiusX, int32_t radiusY, float startAngle, float stopAngle,
                 int thickness, bool dibPlacement, Blend blend)
{
    const ArcCache::Key key{x1, y1, radiusX, radiusY, startAngle, stopAngle, thickness, dibPlacement};
    if (const std::vector<Splat> *splats = arcCache().find(key)) {
        for (const Splat &splat : *splats)
            applySplat(splat, blend);
        return;
    }
    std::vector<Splat> splats;
    const float step = ArcStep(radiusX, radiusY, thickness);
    if (startAngle > stopAngle)
        stopAngle = stopAngle + 360;
    startAngle = static_cast<float>(startAngle * DegreesToRadians);
    stopAngle = static_cast<float>(stopAngle * DegreesToRadians);
    for (float t = startAngle; t <= stopAngle;) {
        const float dx = nudged(radiusX * std::cos(t - HalfPi));
        const float dy = nudged(radiusY * (dibPlacement ? std::sin(t + HalfPi) : std::sin(t - HalfPi)));
        Splat splat;
        if (computeSplat(float(x1 + double(dx) - 0.5), float(y1 + double(dy) - 0.5), splat)) {
            applySplat(splat, blend);
            if (splats.size() < ArcCache::MaxSplats)
                splats.push_back(splat);
        }
        const float next = t + step;
        if (next == t)
            return;
        t = next;
    }
    if (splats.size() < ArcCache::MaxSplats)
        arcCache().insert(key, std::move(splats));
}

void LineGS::LineGP(Surface &hdc, int16_t x1, int16_t y1, int16_t x2, int16_t y2, OleColor colour)
{
    line(x1, y1, x2, y2, colour, [&](int x, int y) { hdc.setPixel(x, y, m_color); },
         [&](int x, int y, int w) { BlendPixelGP(hdc, x, y, w); });
}

void LineGS::LineDIB(int16_t x1, int16_t y1, int16_t x2, int16_t y2, OleColor colour)
{
    if (!m_ready) {
        showNotReady("LineDIB");
        return;
    }
    const auto blend = [this](int x, int y, int w) { blendDib(x, y, w); };
    line(x1, y1, x2, y2, colour, [&](int x, int y) { blend(x, y, 255); }, blend);
}

void LineGS::CircleGP(Surface &hdc, int32_t x1, int32_t y1, int32_t radiusX, int32_t radiusY, OleColor colour,
                      int thickness)
{
    SetRGBComponents(colour);
    circle(x1, y1, radiusX, radiusY, thickness, [&](int x, int y, int w) { BlendPixelGP(hdc, x, y, w); });
}

void LineGS::CircleDIB(int32_t x1, int32_t y1, int32_t radiusX, int32_t radiusY, OleColor colour, int thickness)
{
    if (!m_ready) {
        showNotReady("CircleDIB");
        return;
    }
    SetRGBComponents(colour);
    circle(x1, y1, radiusX, radiusY, thickness, [this](int x, int y, int w) { blendDib(x, y, w); });
}

void LineGS::ArcGP(Surface &hdc, int32_t x1, int32_t y1, int32_t radiusX, int32_t radiusY, float startAngle,
                   float stopAngle, OleColor colour, int thickness)
{
    SetRGBComponents(colour);
    arc(x1, y1, radiusX, radiusY, startAngle, stopAngle, thickness, false,
        [&](int x, int y, int w) { BlendPixelGP(hdc, x, y, w); });
}

void LineGS::ArcDIB(int32_t x1, int32_t y1, int32_t radiusX, int32_t radiusY, float startAngle, float stopAngle,
                    OleColor colour, int thickness)
{
    if (!m_ready)
        return;
    SetRGBComponents(colour);
    arc(x1, y1, radiusX, radiusY, startAngle, stopAngle, thickness, true,
        [this](int x, int y, int w) { blendDib(x, y, w); });
}
