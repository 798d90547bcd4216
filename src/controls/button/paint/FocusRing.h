#pragma once

#include <QRect>
#include <QRgb>

class QPainter;

// The keyboard focus indicator of a button: a dotted inner ring in the caption colour over a
// solid ring of the opposite brightness, so that it shows on any face, pictures included.
// Drawn over the face the control presents, never into it.
void drawFocusRing(QPainter &painter, const QRect &face, QRgb captionColour);
