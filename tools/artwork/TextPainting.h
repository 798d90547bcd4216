#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>
#include <QString>

// Text placed on whole pixels, so hinted glyphs stay sharp.
namespace TextPainting {

// Draws text with its baseline at y, starting at x; returns the x after its advance.
int drawAt(QPainter &painter, int x, int baseline, const QString &text, const QFont &font,
           const QColor &color);

// Centres text in a box by its advance and cap height (optically centred for capitals and
// lower case alike); `offset` shifts it, as a pressed face does.
void drawCentred(QPainter &painter, const QRect &box, const QString &text, const QFont &font,
                 const QColor &color, QPoint offset = {});

} // namespace TextPainting
