#pragma once

#include "controls/button/paint/ButtonPaintContext.h"

#include <QFont>

class Surface;

namespace ButtonCaption {

// The platform's text flags of the caption: word break and vertical centre (which applies to
// single lines only, so wrapped text starts at the top of its rectangle), plus the alignment.
enum Flags : int {
    Left = 20,
    Centre = 21,
    Right = 22,
};

struct Layout {
    ButtonRuntime::Rect rect;
    int flags = Centre;
};

// Where the caption goes on a w × h control for a caption of extent lw × lh. CaptionAutoAlign
// off: CaptionAlignment 0..8 picks centred, left or right (0-2, 3-5, 6-8) and the middle, top or
// bottom band, 5 pixels in from the edges; other values count as 0. On: centred, beside the icon
// when ButtonIconShow is on (from IconBox), else in the middle 19/20 with the wrapped-line
// estimate. Throws RuntimeError for a control too narrow to divide by.
Layout layoutCaption(const ButtonProperties &properties, const ButtonRuntime &run, double w, double h, int lw,
                     int lh);

// The drawing font: the face name (32 characters at most), a pixel height of the font size's
// integer part in pixels (truncated), weight 900 when bold and 100 otherwise, italic, underline
// and strike-out as given, antialiased.
QFont captionFont(const QFont &font, double pixelsPerPoint);

// Gives lblCap the control's font, lays the caption out by the extent of Caption in it (a load
// leaves lblCap's own caption as it was), draws the shadow (when CaptionShadow is on) into
// CaptionRect and the caption in lblCap's colour one pixel up and left of it. CaptionRect keeps
// the shifted rectangle.
void DrawCaption(ButtonPaintContext &context, Surface &control, double pixelsPerPoint);

} // namespace ButtonCaption
