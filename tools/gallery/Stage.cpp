#include "Stage.h"

#include <QLinearGradient>
#include <QPainter>

Stage::Stage()
{
    setAttribute(Qt::WA_DontShowOnScreen);
    QFont ambient(QStringLiteral("Liberation Sans"));
    ambient.setPointSizeF(8.25);
    setFont(ambient);
    resize(1100, 300);
    show();
}

QImage Stage::shoot(QWidget &control)
{
    // A margin of backdrop around the control shows shaped corners and shadows.
    const QRect area = control.geometry().adjusted(-4, -4, 4, 4);
    return grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

void Stage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient sky(0, 0, width(), height());
    sky.setColorAt(0, QColor(250, 240, 200));
    sky.setColorAt(1, QColor(90, 140, 200));
    painter.fillRect(rect(), sky);
    painter.setPen(QPen(QColor(200, 60, 60), 3));
    for (int x = -height(); x < width(); x += 14)
        painter.drawLine(x, height(), x + height(), 0);
}
