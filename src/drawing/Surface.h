#pragma once

#include "drawing/Color.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <cstdint>
#include <span>
#include <vector>

class QBitmap;

// An off-screen picture surface in pixel scale with the state of a device context: what the
// controls draw on. The image is Format_RGB32 treated as a 24-bit surface: the fourth byte is
// written as 0xFF and never read as alpha. Every operation clips to the surface and never throws
// for out-of-range coordinates; the source of a copy may be the destination surface itself, and
// destination pixels whose source lies beyond the source surface keep their colour.
// Colour arguments are OleColors; system colours are translated, untranslatable ones draw black.
class Surface {
public:
    enum class FillStyle { Solid = 0, Transparent = 1 };
    enum class StretchMode { ColorOnColor = 3, Halftone = 4 };
    // AlphaBlend's alpha format: Straight is src·a + dst·(1 − a); Premultiplied takes the source
    // as premultiplied with its alpha byte, which is 0 here, so it adds the scaled source.
    enum class AlphaFormat : uint8_t { Straight = 0, Premultiplied = 1 };
    // The platform's text-drawing flags the controls use. VCenter and Bottom apply only together
    // with SingleLine, as on the platform; text is clipped to its rectangle unless NoClip.
    enum TextFlag : int {
        AlignLeft = 0x00,
        AlignCenter = 0x01,
        AlignRight = 0x02,
        VCenter = 0x04,
        Bottom = 0x08,
        WordBreak = 0x10,
        SingleLine = 0x20,
        NoClip = 0x100,
    };

    Surface() = default;
    Surface(int width, int height, OleColor backColor = 0);

    // The inner (scale) size in pixels.
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    // Keeps the content at the top left; new area in the back colour. Negative sizes act as 0.
    void resize(int width, int height);

    // Device-context state. Setting a colour or mode never redraws anything.
    OleColor backColor() const { return m_backColor; }
    void setBackColor(OleColor colour) { m_backColor = colour; }
    OleColor foreColor() const { return m_foreColor; }
    void setForeColor(OleColor colour) { m_foreColor = colour; }
    int penWidth() const { return m_penWidth; }
    void setPenWidth(int width) { m_penWidth = width < 1 ? 1 : width; }
    FillStyle fillStyle() const { return m_fillStyle; }
    void setFillStyle(FillStyle style) { m_fillStyle = style; }
    OleColor fillColor() const { return m_fillColor; }
    void setFillColor(OleColor colour) { m_fillColor = colour; }
    StretchMode stretchMode() const { return m_stretchMode; }
    void setStretchMode(StretchMode mode) { m_stretchMode = mode; }
    // The colour adjustment's brightness (-100..100, clamped), applied by HALFTONE stretches.
    int brightnessAdjustment() const { return m_brightness; }
    void setBrightnessAdjustment(int brightness);
    OleColor textColor() const { return m_textColor; }
    void setTextColor(OleColor colour) { m_textColor = colour; }
    const QFont &font() const { return m_font; }
    void setFont(const QFont &font) { m_font = font; }
    // Escapement of the text baseline in tenths of a degree, counter-clockwise (-900 runs down).
    int fontEscapement() const { return m_escapement; }
    void setFontEscapement(int tenthsOfDegree) { m_escapement = tenthsOfDegree; }

    // The persistent image.
    const QImage &image() const { return m_image; }
    // The image becomes the back colour with the picture at natural size at the top left.
    void setPicture(const QImage &picture);
    // Draws the picture scaled into the rectangle (current stretch mode; a picture with an alpha
    // channel is composed over the surface). Returns false for a null picture.
    bool paintPicture(const QImage &picture, int x, int y, int width, int height);

    // Composes the picture into the rectangle by the picture's own alpha channel, area-sampled
    // so that soft edges stay soft when scaled; no stretch mode or brightness applies. The
    // surface itself keeps no alpha. Returns false for a null picture.
    bool alphaComposite(const QImage &picture, int x, int y, int width, int height);

    // Fills the surface with the back colour.
    void clear();
    // GetPixel: the colour at (x, y), or -1 outside the surface.
    OleColor pixel(int x, int y) const;
    // SetPixelV.
    void setPixel(int x, int y, OleColor colour);

    // A line with the pen width. A one-pixel line leaves out its last point, as the platform's
    // line does; a line whose ends coincide sets that one pixel. Wider lines are round-capped.
    void line(int x1, int y1, int x2, int y2, OleColor colour);
    // Rectangle outline with both corners included (a wider pen straddles the edges, (w − 1) / 2
    // pixels outside); the inside is filled with the fill colour when the fill style is solid.
    void box(int x1, int y1, int x2, int y2, OleColor colour);
    // Rectangle filled in the colour, both corners included.
    void filledBox(int x1, int y1, int x2, int y2, OleColor colour);
    // Circle outline of the pen width around (x, y); filled when the fill style is solid.
    void circle(int x, int y, int radius, OleColor colour);
    // The platform's rounded rectangle: pen = fore colour and pen width, brush = fill colour when
    // the fill style is solid. Covers columns left..right-1 and rows top..bottom-1; coverage rule
    // in RoundRectShape.h.
    void roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);

    // BitBlt SRCCOPY.
    void bitBlt(int x, int y, int width, int height, const Surface &source, int sx, int sy);
    // StretchBlt SRCCOPY in this surface's stretch mode: COLORONCOLOR picks the nearest source
    // pixel; HALFTONE averages the covered source area and applies the brightness adjustment.
    // Widths or heights of opposite sign mirror the image.
    void stretchBlt(int x, int y, int width, int height, const Surface &source, int sx, int sy,
                    int sourceWidth, int sourceHeight);
    // AlphaBlend with a constant alpha and no per-pixel alpha (nearest-pixel stretch). Blends and
    // TransparentBlt draw nothing for sizes that are not positive.
    void alphaBlend(int x, int y, int width, int height, const Surface &source, int sx, int sy,
                    int sourceWidth, int sourceHeight, uint8_t alpha,
                    AlphaFormat format = AlphaFormat::Straight);
    // TransparentBlt: nearest-pixel stretch that skips source pixels of the key colour.
    void transparentBlt(int x, int y, int width, int height, const Surface &source, int sx, int sy,
                        int sourceWidth, int sourceHeight, OleColor key);

    // GetDIBits: a width × height pixel array (0x00RRGGBB, rows top-down, x fastest) of the area
    // at the origin; pixels beyond the surface are 0.
    std::vector<uint32_t> getDIBits(int width, int height) const;
    // SetDIBits / SetDIBitsToDevice: writes a width × height array of that form at (x, y).
    void setDIBits(int x, int y, int width, int height, std::span<const uint32_t> bits);

    // DrawText of the text into the rectangle (right and bottom excluded) with the TextFlag
    // flags, in the text colour and font. CR, LF and CRLF break lines. With an escapement the
    // layout is made upright and each line is turned about its starting point, unclipped.
    // Text and masks need a QGuiApplication (fonts, bitmaps); nothing else does.
    void drawText(const QString &text, int left, int top, int right, int bottom, int flags);
    // TextWidth / TextHeight in the current font: widest line, line count × line height.
    int textWidth(const QString &text) const;
    int textHeight(const QString &text) const;

    // A mask bitmap: pixels of the key colour are transparent (0), all others opaque (1).
    QBitmap toMask(OleColor key) const;

private:
    // The tint transforms the pixels in place.
    friend void Color::TintPicture(Surface &picture, int bright, int hue, int saturation);

    void fillSpan(int y, int x1, int x2, QRgb rgb);
    void thickLine(int x1, int y1, int x2, int y2, QRgb rgb);
    void composePicture(const QImage &picture, int x, int y, int width, int height, bool halftone);

    QImage m_image;
    OleColor m_backColor = 0;
    OleColor m_foreColor = 0;
    OleColor m_fillColor = 0;
    OleColor m_textColor = 0;
    int m_penWidth = 1;
    FillStyle m_fillStyle = FillStyle::Transparent;
    StretchMode m_stretchMode = StretchMode::ColorOnColor;
    int m_brightness = 0;
    QFont m_font;
    int m_escapement = 0;
};
