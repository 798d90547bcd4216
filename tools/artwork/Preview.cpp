#include "Preview.h"

#include "Fonts.h"
#include "TextPainting.h"
#include "Theme.h"

#include <QDir>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace Preview {

namespace {

// The stored bar settings: blocks 10 wide, 1 apart, orange, depth 55, feather 300, mid 20,
// style 3 (a dark outline), cover at alpha 100, black border with dark green inner lines.
QImage progressBar(const Artwork &art, int percent)
{
    const QSize size = art.value(QStringLiteral("art/probar-back.png")).size();
    const int w = size.width();
    const int h = size.height();
    QImage bar = art.value(QStringLiteral("art/probar-back.png")).convertToFormat(QImage::Format_RGB32);
    QPainter painter(&bar);

    QImage block(10, h - 6, QImage::Format_RGB32);
    const double centre = h / 21.0 * 10.0;
    for (int y = 0; y < block.height(); ++y) {
        const int lift = int(std::abs(centre - y) * 300 / h) - 55;
        const QColor shade(std::clamp(255 + lift, 0, 255), std::clamp(128 + lift, 0, 255), std::clamp(lift, 0, 255));
        for (int x = 0; x < block.width(); ++x)
            block.setPixel(x, y, shade.rgb());
    }
    {
        QPainter outline(&block);
        outline.setPen(Qt::black);
        outline.drawRect(0, 0, 9, block.height() - 2);
    }
    for (int x = 1; x <= w * percent / 100; x += 11)
        painter.drawImage(x, 3, block);

    painter.setOpacity(100 / 255.0);
    painter.drawImage(0, 0, art.value(QStringLiteral("art/probar-cover.png")));
    painter.setOpacity(1.0);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    painter.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 2.5, 2.5);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(0, 64, 0));
    painter.drawLine(3, 2, w - 3, 2);
    painter.drawLine(3, h - 2, w - 3, h - 2);

    QFont font = Fonts::display(13, true);
    const QString text = QStringLiteral(" %1 %").arg(percent);
    TextPainting::drawCentred(painter, QRect(1, 1, w, h), text, font, QColor(64, 64, 64));
    TextPainting::drawCentred(painter, QRect(0, 0, w, h), text, font, Qt::white);
    return bar;
}

void field(QPainter &painter, const QRect &place, const QString &text, bool combo)
{
    painter.fillRect(place, QColor(12, 13, 15));
    TextPainting::drawAt(painter, place.left() + 6, place.top() + 17, text, Fonts::display(13, true),
                         QColor(220, 222, 226));
    if (combo) {
        const QRect arrow(place.right() - 20, place.top(), 21, place.height());
        painter.fillRect(arrow, QColor(40, 43, 50));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Theme::TextSecondary);
        const QPointF c = QRectF(arrow).center();
        painter.drawPolygon(QPolygonF{c + QPointF(-4, -2), c + QPointF(4, -2), c + QPointF(0, 3)});
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
}

QImage window(const Artwork &art, int percent)
{
    QImage image = art.value(QStringLiteral("art/background.png")).convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    // cmdDest shows its Over face, to judge the hover look in place.
    const std::pair<QRect, const char *> faces[] = {
        {Layout::CmdSource, "browse-normal"}, {Layout::CmdDest, "browse-over"},
        {Layout::CmdConvert, "convert-normal"}, {Layout::CmdMin, "min-normal"},
        {Layout::CmdClose, "close-normal"},
    };
    for (const auto &[place, name] : faces)
        painter.drawImage(place.topLeft(), art.value(QStringLiteral("art/%1.png").arg(QLatin1String(name))));

    // The bar's rounded corners are masked off, so the background shows there.
    QPainterPath barShape;
    barShape.addRoundedRect(QRectF(Layout::ProBar), 2.5, 2.5);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(barShape);
    painter.drawImage(Layout::ProBar.topLeft(), progressBar(art, percent));
    painter.restore();

    field(painter, Layout::TxtSource, QStringLiteral("/home/ada/Videos/party.avi"), false);
    field(painter, Layout::CboFormat, QStringLiteral("iPOD Video (320x240) MPEG4"), true);
    field(painter, Layout::TxtDest, QStringLiteral("/home/ada/Videos/party.mp4"), false);
    return image;
}

QImage sheet(const Artwork &art)
{
    QImage image(820, 660, QImage::Format_RGB32);
    image.fill(QColor(90, 92, 96));
    QPainter painter(&image);
    int y = 10;
    for (const char *button : {"browse", "convert", "min", "close"}) {
        int x = 10;
        int rowHeight = 0;
        for (const char *state : {"normal", "over", "down"}) {
            const QImage face = art.value(QStringLiteral("art/%1-%2.png").arg(QLatin1String(button), QLatin1String(state)));
            painter.drawImage(QRect(QPoint(x, y), face.size() * 2), face);
            x += face.width() * 2 + 12;
            rowHeight = face.height() * 2;
        }
        y += rowHeight + 12;
    }
    const QImage cursor = art.value(QStringLiteral("cursors/hand.png"));
    painter.fillRect(QRect(10, y, 128, 128), Qt::white);
    painter.drawImage(QRect(10, y, 128, 128), cursor);
    painter.fillRect(QRect(150, y, 128, 128), QColor(30, 30, 30));
    painter.drawImage(QRect(150, y, 128, 128), cursor);
    int x = 290;
    for (const int size : {16, 32, 48}) {
        const QImage icon = art.value(QStringLiteral("icons/aaa-%1.png").arg(size));
        painter.drawImage(QRect(x, y, size * 2, size * 2), icon);
        painter.drawImage(x, y + size * 2 + 6, icon);
        x += size * 2 + 12;
    }
    painter.drawImage(QRect(x, y, 128, 128), art.value(QStringLiteral("icons/aaa-256.png")));
    y += 150;
    painter.drawImage(QRect(10, y, 772, 64), progressBar(art, 0));
    painter.drawImage(QRect(10, y + 70, 772, 64), progressBar(art, 50));
    return image;
}

} // namespace

bool write(const Artwork &art, const QString &folder, QString *error)
{
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create %1").arg(folder);
        return false;
    }
    const std::pair<QString, QImage> pictures[] = {
        {QStringLiteral("artwork-preview.png"), window(art, 50)},
        {QStringLiteral("artwork-preview-idle.png"), window(art, 0)},
        {QStringLiteral("artwork-sheet.png"), sheet(art)},
    };
    for (const auto &[name, picture] : pictures) {
        const QString path = QDir(folder).filePath(name);
        if (!picture.save(path)) {
            *error = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
    }
    return true;
}

} // namespace Preview
