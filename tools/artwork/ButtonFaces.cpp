#include "ButtonFaces.h"

#include "Fonts.h"
#include "TextPainting.h"
#include "Theme.h"

#include <QLinearGradient>
#include <QPainter>

namespace ButtonFaces {

namespace {

struct Shading {
    QColor top;
    QColor bottom;
    QColor border;
    QColor text;
};

// Pressed faces move their content down and right by one pixel.
QPoint pressOffset(State state)
{
    return state == State::Down ? QPoint(1, 1) : QPoint(0, 0);
}

QImage baseOf(const QImage &background, const QRect &place)
{
    return background.copy(place).convertToFormat(QImage::Format_RGB32);
}

// A rounded face with a vertical gradient, a one-pixel border and a light (or, pressed, a dark)
// inner line along the top.
void paintRoundedFace(QPainter &painter, const QSize &size, qreal radius, const Shading &shading, State state)
{
    const QRectF outline = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(0, 0, 0, size.height());
    fill.setColorAt(0.0, shading.top);
    fill.setColorAt(1.0, shading.bottom);
    painter.setPen(QPen(shading.border, 1.0));
    painter.setBrush(fill);
    painter.drawRoundedRect(outline, radius, radius);

    const QRectF inner = outline.adjusted(1, 1, -1, -1);
    painter.setBrush(Qt::NoBrush);
    painter.setClipRect(QRectF(0, 0, size.width(), size.height() / 2.0));
    painter.setPen(QPen(state == State::Down ? QColor(0, 0, 0, 70) : QColor(255, 255, 255, 40), 1.0));
    painter.drawRoundedRect(inner, radius - 1, radius - 1);
    painter.setClipping(false);
}

QImage roundedButton(const QImage &background, const QRect &place, qreal radius, const Shading &shading,
                     State state, const QString &text, const QFont &font, const QColor &textShadow)
{
    QImage face = baseOf(background, place);
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintRoundedFace(painter, face.size(), radius, shading, state);
    const QRect box(QPoint(0, 0), face.size());
    const QPoint offset = pressOffset(state);
    TextPainting::drawCentred(painter, box, text, font, textShadow, offset + QPoint(0, 1));
    TextPainting::drawCentred(painter, box, text, font, shading.text, offset);
    return face;
}

// The title strip's flat buttons: a tinted cell when hovered or pressed, then the glyph.
QImage stripButton(const QImage &background, const QRect &place, State state, const QColor &over,
                   const QColor &down, const QColor &overGlyph, void (*glyph)(QPainter &, QColor))
{
    QImage face = baseOf(background, place);
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    if (state == State::Over)
        painter.fillRect(face.rect(), over);
    else if (state == State::Down)
        painter.fillRect(face.rect(), down);
    painter.translate(pressOffset(state));
    glyph(painter, state == State::Normal ? QColor(176, 181, 190) : overGlyph);
    return face;
}

void minimiseGlyph(QPainter &painter, QColor color)
{
    painter.fillRect(10, 10, 10, 2, color);
}

void closeGlyph(QPainter &painter, QColor color)
{
    painter.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(10.5, 6.5), QPointF(19.5, 15.5));
    painter.drawLine(QPointF(19.5, 6.5), QPointF(10.5, 15.5));
}

} // namespace

namespace {

QImage darkFace(const QImage &background, const QRect &place, State state, const QString &caption)
{
    static const Shading Shadings[] = {
        {QColor(66, 70, 80), QColor(45, 48, 55), QColor(84, 89, 101), Theme::Text},
        {QColor(82, 87, 99), QColor(56, 60, 69), QColor(214, 118, 30), QColor(255, 255, 255)},
        {QColor(30, 32, 37), QColor(42, 45, 51), QColor(74, 78, 89), QColor(214, 217, 222)},
    };
    return roundedButton(background, place, 6, Shadings[int(state)], state, caption, Fonts::ui(12, true),
                         QColor(0, 0, 0, 110));
}

} // namespace

QImage browse(const QImage &background, const QRect &place, State state)
{
    return darkFace(background, place, state, QStringLiteral("Browse..."));
}

QImage pause(const QImage &background, const QRect &place, State state)
{
    return darkFace(background, place, state, QStringLiteral("Pause"));
}

QImage resume(const QImage &background, const QRect &place, State state)
{
    return darkFace(background, place, state, QStringLiteral("Resume"));
}

QImage spinArrow(bool up)
{
    QImage arrow(9, 5, QImage::Format_ARGB32_Premultiplied);
    arrow.fill(Qt::transparent);
    QPainter painter(&arrow);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::Text);
    const QPolygonF triangle = up ? QPolygonF{{0, 5}, {4.5, 0}, {9, 5}} : QPolygonF{{0, 0}, {4.5, 5}, {9, 0}};
    painter.drawPolygon(triangle);
    return arrow;
}

namespace {

QImage convertFace(const QImage &background, const QRect &place, State state, const QString &caption)
{
    static const Shading Shadings[] = {
        {QColor(255, 158, 52), QColor(228, 98, 0), QColor(150, 60, 0), QColor(255, 255, 255)},
        {QColor(255, 180, 92), QColor(246, 116, 8), QColor(170, 72, 0), QColor(255, 255, 255)},
        {QColor(204, 86, 0), QColor(232, 108, 0), QColor(128, 50, 0), QColor(255, 240, 228)},
    };
    return roundedButton(background, place, 8, Shadings[int(state)], state, caption, Fonts::display(19, true),
                         QColor(120, 44, 0, 150));
}

} // namespace

QImage convert(const QImage &background, const QRect &place, State state)
{
    return convertFace(background, place, state, QStringLiteral("Convert"));
}

QImage stop(const QImage &background, const QRect &place, State state)
{
    return convertFace(background, place, state, QStringLiteral("Stop"));
}

QImage minimise(const QImage &background, const QRect &place, State state)
{
    return stripButton(background, place, state, QColor(255, 255, 255, 28), QColor(0, 0, 0, 90),
                       QColor(255, 255, 255), minimiseGlyph);
}

QImage close(const QImage &background, const QRect &place, State state)
{
    return stripButton(background, place, state, QColor(226, 64, 36), QColor(176, 44, 24),
                       QColor(255, 255, 255), closeGlyph);
}

} // namespace ButtonFaces
