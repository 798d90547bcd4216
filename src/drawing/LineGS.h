#pragma once

#include "drawing/Color.h"

#include <cstdint>
#include <vector>

class Surface;

// Anti-aliased lines, ellipses and elliptical arcs in one colour, drawn either straight onto a
// surface (the GP operations, a pixel read and write each) or into a pixel array captured from
// a surface (the DIB operations: one capture, any number of shapes, one write-back).
class LineGS {
public:
    // Captures a width × height pixel array (0x00RRGGBB, rows top-down) from the surface's top-left
    // corner and sets the ready flag; array pixels beyond the surface start black and are not
    // written back. The surface must outlive the capture. Non-positive sizes capture nothing.
    bool DIB(Surface &surface, int width, int height);
    // Writes the array back onto the captured surface and clears the ready flag.
    void Array2Pic();
    // Sets the drawing colour; a colour that cannot be translated draws black.
    void SetRGBComponents(OleColor colour);

    // A line about two pixels wide with shaded edges and soft end caps; nothing when both ends
    // coincide. LineDIB without a captured array only shows "You must create a DIB array".
    void LineGP(Surface &hdc, int16_t x1, int16_t y1, int16_t x2, int16_t y2, OleColor colour);
    void LineDIB(int16_t x1, int16_t y1, int16_t x2, int16_t y2, OleColor colour);
    // An ellipse centred on (x1, y1), spread point by point over four pixels each.
    void CircleGP(Surface &hdc, int32_t x1, int32_t y1, int32_t radiusX, int32_t radiusY, OleColor colour,
                  int thickness);
    void CircleDIB(int32_t x1, int32_t y1, int32_t radiusX, int32_t radiusY, OleColor colour, int thickness);
    // Angles in degrees: GP runs clockwise from the top (0 up, 90 right), DIB counter-clockwise
    // from the bottom (0 down, 90 right, 180 up). A start above the stop wraps through 360.
    // ArcDIB without a captured array draws nothing, silently.
    void ArcGP(Surface &hdc, int32_t x1, int32_t y1, int32_t radiusX, int32_t radiusY, float startAngle,
               float stopAngle, OleColor colour, int thickness);
    void ArcDIB(int32_t x1, int32_t y1, int32_t radiusX, int32_t radiusY, float startAngle, float stopAngle,
                OleColor colour, int thickness);

    // The angle increment in radians: k / r for the larger radius r (k for r = 0, −k / r for
    // r < 0), k = 0.5340707 for thickness 1, else twice that.
    static float ArcStep(int32_t radiusX, int32_t radiusY, int thickness);

    bool isReady() const { return m_ready; }
    OleColor drawingColor() const { return m_color; }

    // Coverage blends: weights above 252 set the drawing colour, others mix each channel as
    // (w·colour + (255 − w)·old) \ 256, truncating.
    void BlendPixelGP(Surface &hdc, int x, int y, int w) const;
    void BlendPixelDIB(int x, int y, int w);

private:
    // BlendPixelDIB, inline for the drawing loops.
    void blendDib(int x, int y, int w)
    {
        if (x < 0 || x >= m_width || y < 0 || y >= m_height)
            return;
        uint32_t &p = m_bits[size_t(y) * size_t(m_width) + size_t(x)];
        if (w >= 253) {
            p = (p & 0xFF000000u) | (uint32_t(m_red) << 16) | (uint32_t(m_green) << 8) | uint32_t(m_blue);
            return;
        }
        const auto weight = uint32_t(w), rest = 255u - weight;
        const auto mix = [&](uint32_t colour, uint32_t previous) { return (weight * colour + rest * previous) >> 8; };
        p = (p & 0xFF000000u) | (mix(uint32_t(m_red), (p >> 16) & 0xFF) << 16)
            | (mix(uint32_t(m_green), (p >> 8) & 0xFF) << 8) | mix(uint32_t(m_blue), p & 0xFF);
    }

    template <class Plot, class Blend>
    void line(int x1, int y1, int x2, int y2, OleColor colour, Plot plot, Blend blend);
    template <class Blend>
    void circle(int32_t x1, int32_t y1, int32_t radiusX, int32_t radiusY, int thickness, Blend blend);
    template <class Blend>
    void arc(int32_t x1, int32_t y1, int32_t radiusX, int32_t radiusY, float startAngle, float stopAngle,
             int thickness, bool dibPlacement, Blend blend);
    template <class Blend>
    static void splatPoint(float px, float py, Blend blend);

    Surface *m_surface = nullptr;
    int m_width = 0;
    int m_height = 0;
    std::vector<uint32_t> m_bits;
    bool m_ready = false;
    OleColor m_color = 0;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
};
