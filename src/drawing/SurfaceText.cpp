#include "drawing/Surface.h"

#include <QBitmap>
#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace {

// CR, LF and CRLF all break lines.
QString normalisedLines(const QString &text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

} // namespace

void Surface::drawText(const QString &text, int left, int top, int right, int bottom, int flags)
{
    if (m_image.isNull() || text.isEmpty())
        return;
    const bool singleLine = flags & SingleLine;
    const bool clip = !(flags & NoClip) && m_escapement == 0;
    const QRect rect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    if (clip && rect.isEmpty())
        return;

    QString lines = normalisedLines(text);
    lines.replace(QLatin1Char('\n'), singleLine ? QChar(QLatin1Char(' ')) : QChar(QChar::LineSeparator));
    QTextOption option;
    option.setWrapMode((flags & WordBreak) && !singleLine ? QTextOption::WordWrap : QTextOption::NoWrap);
    QTextLayout layout(lines, m_font, &m_image);
    layout.setTextOption(option);
    const qreal wrapWidth = std::max(0, right - left);
    qreal textHeight = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(option.wrapMode() == QTextOption::NoWrap ? 1e9 : wrapWidth);
        line.setPosition(QPointF(0, textHeight));
        textHeight += line.height();
    }
    layout.endLayout();

    int y = top;
    if (singleLine && (flags & VCenter))
        y = top + (bottom - top - int(textHeight)) / 2;
    else if (singleLine && (flags & Bottom))
        y = bottom - int(textHeight);

    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(QColor::fromRgb(Color::toQRgb(m_textColor)));
    if (clip)
        painter.setClipRect(rect);
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const qreal width = line.naturalTextWidth();
        qreal x = left;
        if (flags & AlignCenter)
            x = left + (right - left - width) / 2;
        else if (flags & AlignRight)
            x = right - width;
        // Each line starts at its upright position; an escapement turns it about that point.
        const QPointF start(std::round(x), y + line.y());
        painter.save();
        painter.translate(start);
        painter.rotate(-m_escapement / 10.0);
        line.draw(&painter, QPointF(-line.x(), -line.y()));
        painter.restore();
    }
}

int Surface::textWidth(const QString &text) const
{
    const QFontMetrics metrics(m_font);
    int widest = 0;
    for (const QString &line : normalisedLines(text).split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

int Surface::textHeight(const QString &text) const
{
    return QFontMetrics(m_font).height() * int(normalisedLines(text).count(QLatin1Char('\n')) + 1);
}

QBitmap Surface::toMask(OleColor key) const
{
    if (m_image.isNull())
        return QBitmap();
    const uint32_t keyRgb = Color::toQRgb(key) & 0x00FFFFFFu;
    QImage mask(m_image.size(), QImage::Format_MonoLSB);
    mask.setColor(0, qRgb(255, 255, 255)); // transparent
    mask.setColor(1, qRgb(0, 0, 0));       // opaque
    mask.fill(0);
    for (int y = 0; y < height(); ++y) {
        const auto *row = reinterpret_cast<const uint32_t *>(m_image.constScanLine(y));
        uchar *bits = mask.scanLine(y);
        for (int x = 0; x < width(); ++x)
            if ((row[x] & 0x00FFFFFFu) != keyRgb)
                bits[x >> 3] |= uchar(1u << (x & 7));
    }
    return QBitmap::fromImage(mask);
}
