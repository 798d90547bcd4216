#pragma once

#include <QPoint>

#include <cstdint>
#include <vector>

struct ProBarCanvas;
struct ProBarProperties;
class Surface;

// The layers of a bar repaint, each drawing onto canvas.control at canvas.W × canvas.H.
// A step that fails throws its RuntimeError; what it drew before stays.
namespace ProBarLayers {

// The back colour, then BackPicture (through picCover, HALFTONE) when it is not Nothing.
void PaintBackground(ProBarCanvas &canvas, const ProBarProperties &properties);
// CoverPic blended at CoverAlpha (overflow outside 0..255) when it is not Nothing.
void PaintCover(ProBarCanvas &canvas, const ProBarProperties &properties);
// The rounded outline in BorderColor1 and two highlight lines in BorderColor2.
void PaintBorder(ProBarCanvas &canvas, const ProBarProperties &properties);
// Modes 0 and 1: blocks from the start edge (far edge with BarFlip) up to ProValue of ProMax.
void paintProgressBlocks(ProBarCanvas &canvas, const ProBarProperties &properties);
// Modes 2 and 3: the comet of five blended blocks for the phase.
void paintBusyBlocks(ProBarCanvas &canvas, const ProBarProperties &properties, int16_t phase);

// StretchBlt of the source's (0, 0, sourceWidth, sourceHeight) to width × height at each
// position: stretched once into stamp and copied, which gives the same pixels; stretches that
// mirror or read outside the source are made one by one.
void stretchRepeated(Surface &destination, const Surface &source, int sourceWidth, int sourceHeight, int width,
                     int height, const std::vector<QPoint> &positions, Surface &stamp);

// AlphaBlend with a constant alpha; alpha and alpha format outside 0..255 are an overflow.
void BlendImage(Surface &destination, int x, int y, int width, int height, const Surface &source,
                int sx, int sy, int sourceWidth, int sourceHeight, double alpha, double alphaFormat);

} // namespace ProBarLayers
