#include "controls/SelfPaintedControl.h"

#include "controls/InputCodes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

SelfPaintedControl::SelfPaintedControl(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

SelfPaintedControl::~SelfPaintedControl() = default;

double SelfPaintedControl::twipsPerPixelX() const { return 1440.0 / logicalDpiX(); }
double SelfPaintedControl::twipsPerPixelY() const { return 1440.0 / logicalDpiY(); }

QFont SelfPaintedControl::ambientFont() const
{
    return parentWidget() ? parentWidget()->font() : QApplication::font();
}

void SelfPaintedControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, image());
}

void SelfPaintedControl::keyPressEvent(QKeyEvent *event)
{
    emit KeyDown(InputCodes::keyCode(event->key()), InputCodes::shiftMask(event->modifiers()));
    for (const QChar character : event->text())
        emit KeyPress(static_cast<qint16>(character.unicode()));
}

// Auto-repeat sends one key up at the end, after the repeated key downs.
void SelfPaintedControl::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return;
    emit KeyUp(InputCodes::keyCode(event->key()), InputCodes::shiftMask(event->modifiers()));
}
