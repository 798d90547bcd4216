#pragma once

#include <QFont>
#include <QString>

#include <cstdint>

struct ProBarCanvas;
struct ProBarProperties;

// The caption and value text of the bar.
namespace ProBarText {

// Turned in the vertical modes (1, 3) when CaptionAutoOrient is on.
bool isTurned(const ProBarProperties &properties);

// The text in the order its characters are laid out along the baseline: Caption, a blank,
// ProValue and " %" in modes 0 and 1 with ShowValue; Caption alone in modes 2 and 3 or
// without ShowValue; nothing with ShowValue in other modes. Reversed when turned, because the
// turned baseline runs downwards while the glyphs are read from the bottom up.
QString composeText(const ProBarProperties &properties);

// The layout flags for CaptionAlignment: 0 and 1 word break (left, top); 2 word break,
// centred, vertical-centre flag; other values none.
int layoutFlags(int32_t captionAlignment);

// The drawing font: the bar's font at -Int(size) × pixels per point, rounded down, as a pixel
// height; weight bold or normal; italic, underline, strike-out kept; antialiased.
QFont drawingFont(const QFont &font, double dpiY);

// Draws the shadow (when CaptionShadow) and the text onto canvas.control.
void PaintText(ProBarCanvas &canvas, const ProBarProperties &properties, double dpiY);

} // namespace ProBarText
