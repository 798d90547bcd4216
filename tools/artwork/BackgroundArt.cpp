#include "BackgroundArt.h"

#include "AppEmblem.h"
#include "Fonts.h"
#include "SoftShadow.h"
#include "TextPainting.h"
#include "Theme.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace BackgroundArt {

namespace {

QPainterPath roundedPath(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

void paintBody(QPainter &painter)
{
    const QRect all(QPoint(0, 0), Layout::Window);
    // Flat, so that the two Browse buttons' corners match the same face pictures.
    painter.fillRect(all, Theme::Body);

    const QRect header(0, 0, all.width(), Layout::HeaderBottom);
    QLinearGradient shade(0, 0, 0, header.height());
    shade.setColorAt(0.0, Theme::HeaderTop);
    shade.setColorAt(1.0, Theme::Body);
    painter.fillRect(header, shade);

    // A warm glow behind the logo carries the accent into the header.
    QRadialGradient glow(Layout::CmdLogo.center(), 190);
    glow.setColorAt(0.0, QColor(255, 128, 0, 34));
    glow.setColorAt(1.0, QColor(255, 128, 0, 0));
    painter.fillRect(header, glow);
}

void paintTitleStrip(QPainter &painter)
{
    const int width = Layout::Window.width();
    painter.fillRect(0, 0, width, Layout::StripHeight, QColor(0, 0, 0, 70));
    painter.fillRect(0, Layout::StripHeight - 1, width, 1, QColor(255, 255, 255, 12));
    painter.fillRect(0, Layout::StripHeight, width, 1, QColor(0, 0, 0, 60));
}

void paintLogo(QPainter &painter)
{
    const QRectF card = QRectF(Layout::CmdLogo).adjusted(0.5, 0.5, -0.5, -0.5);
    paintSoftShadow(painter, roundedPath(card.translated(0, 3), 12), QColor(0, 0, 0, 150), 4);

    QLinearGradient fill(card.topLeft(), card.bottomLeft());
    fill.setColorAt(0.0, QColor(50, 53, 62));
    fill.setColorAt(1.0, QColor(32, 34, 40));
    painter.setPen(QPen(QColor(70, 74, 85), 1.0));
    painter.setBrush(fill);
    painter.drawRoundedRect(card, 12, 12);
    painter.setPen(QPen(QColor(255, 255, 255, 18), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(card.adjusted(1, 1, -1, -1), 11, 11);

    const int size = 84;
    const QRectF mark(Layout::CmdLogo.left() + (Layout::CmdLogo.width() - size) / 2,
                      Layout::CmdLogo.top() + (Layout::CmdLogo.height() - size) / 2, size, size);
    paintSoftShadow(painter, roundedPath(mark.translated(0, 3), 0.22 * size), QColor(0, 0, 0, 160), 5);
    AppEmblem::paint(painter, mark);
}

void paintProductName(QPainter &painter)
{
    const int left = Layout::CmdLogo.right() + 18;
    const QFont name = Fonts::display(34, true);
    const int next = TextPainting::drawAt(painter, left, 74, QStringLiteral("Zorvik "), name, Theme::Text);
    TextPainting::drawAt(painter, next, 74, QStringLiteral("Vidomar"), name, Theme::Accent);
    TextPainting::drawAt(painter, left + 1, 99,
                         QStringLiteral("Video converter for phones, players and the web"),
                         Fonts::ui(12), Theme::TextSecondary);
}

// A recessed bed under the control; only its rim, just outside the control, shows.
void paintBed(QPainter &painter, const QRect &control, qreal radius)
{
    const QRectF bed = QRectF(control).adjusted(-1.5, -1.5, 1.5, 1.5);
    painter.setPen(QPen(Theme::WellBorder, 1.0));
    painter.setBrush(Theme::Well);
    painter.drawRoundedRect(bed, radius, radius);
    // The lower rim catches the light; the upper one lies in shadow.
    painter.setPen(QPen(QColor(255, 255, 255, 16), 1.0));
    painter.drawLine(QPointF(bed.left() + radius, bed.bottom() + 1), QPointF(bed.right() - radius, bed.bottom() + 1));
}

void paintRow(QPainter &painter, const QRect &control, const QString &label, const QString &hint)
{
    // Labels start at the control's left edge, their baseline nine pixels above its top.
    const int baseline = control.top() - 9;
    const int end = TextPainting::drawAt(painter, control.left(), baseline, label, Fonts::ui(12, true), Theme::Text);
    TextPainting::drawAt(painter, end + 8, baseline, hint, Fonts::ui(11), Theme::TextMuted);
    paintBed(painter, control, 4);
}

void paintFooter(QPainter &painter)
{
    const int width = Layout::Window.width();
    const int top = Layout::FooterTop;
    painter.fillRect(0, top, width, Layout::Window.height() - top, Theme::Footer);
    painter.fillRect(0, top, width, 1, QColor(0, 0, 0, 150));
    QLinearGradient accent(0, 0, width, 0);
    accent.setColorAt(0.0, QColor(255, 128, 0, 0));
    accent.setColorAt(0.5, QColor(255, 128, 0, 110));
    accent.setColorAt(1.0, QColor(255, 128, 0, 0));
    painter.fillRect(0, top + 1, width, 1, accent);

    paintBed(painter, Layout::ProBar, 6);
}

// Shadows under the picture buttons; their faces are opaque rectangles, so only what lies
// outside the rectangle shows.
void paintButtonBeds(QPainter &painter)
{
    for (const QRect &button : {Layout::CmdSource, Layout::CmdDest}) {
        paintSoftShadow(painter, roundedPath(QRectF(button).translated(0, 2), 6), QColor(0, 0, 0, 150), 2);
    }
    const QRectF convert(Layout::CmdConvert);
    paintSoftShadow(painter, roundedPath(convert.adjusted(2, 4, -2, 2), 8), QColor(255, 110, 0, 70), 7);
    paintSoftShadow(painter, roundedPath(convert.translated(0, 2), 8), QColor(0, 0, 0, 170), 2);
}

void paintFrame(QPainter &painter)
{
    const QRectF all = QRectF(QPoint(0, 0), Layout::Window).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Theme::Edge, 1.0));
    painter.drawRect(all);
    painter.setPen(QPen(QColor(255, 255, 255, 14), 1.0));
    painter.drawRect(all.adjusted(1, 1, -1, -1));
}

} // namespace

QImage paint()
{
    QImage image(Layout::Window, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    paintBody(painter);
    paintTitleStrip(painter);
    paintLogo(painter);
    paintProductName(painter);
    paintRow(painter, Layout::TxtSource, QStringLiteral("Source video"), QStringLiteral("the file to convert"));
    paintRow(painter, Layout::CboFormat, QStringLiteral("Convert to"), QStringLiteral("device or format"));
    paintRow(painter, Layout::TxtDest, QStringLiteral("Save as"), QStringLiteral("the converted file"));
    paintFooter(painter);
    paintButtonBeds(painter);
    paintFrame(painter);
    return image;
}

} // namespace BackgroundArt
