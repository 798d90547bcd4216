#pragma once

#include "drawing/Color.h"

#include <QFont>
#include <QString>

class Surface;

// Text laid out downwards in the given character order with each glyph turned a quarter
// counter-clockwise, as a font with escapement -900 and orientation -2700 draws it: read from
// the bottom up, it is the text reversed. The column starts at x = left and runs up from
// y = bottom over length pixels; AlignCenter centres along it, WordBreak wraps to the right.
// Surface turns glyphs together with their baseline, so this draws through an overlay.
void drawTurnedText(Surface &surface, const QString &laidOut, const QFont &font, OleColor colour,
                    int left, int bottom, int length, int flags);
