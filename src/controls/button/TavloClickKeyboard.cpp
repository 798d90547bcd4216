#include "controls/button/TavloClick.h"

#include "drawing/Color.h"
#include "controls/button/paint/FocusRing.h"

#include <QKeyEvent>
#include <QPainter>

namespace {

// Keys with Ctrl, Alt or Meta belong to the window's shortcuts, not to the button.
bool plainKey(const QKeyEvent *event)
{
    return !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

bool isEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

} // namespace

bool TavloClick::focusIndicatorShown() const
{
    return m_props.showFocusRect && hasFocus() && m_focusVisible;
}

// KeyDown and KeyPress are raised for every key, the click keys included. A held key's
// auto-repeat clicks nothing more.
void TavloClick::keyPressEvent(QKeyEvent *event)
{
    SelfPaintedControl::keyPressEvent(event);
    if (!m_focusVisible) {
        m_focusVisible = true;
        update();
    }
    if (event->isAutoRepeat() || !plainKey(event))
        return;
    if (event->key() == Qt::Key_Space && !m_spaceHeld) {
        m_spaceHeld = true;
        Redraw(2);
    } else if (isEnterKey(event->key())) {
        clicked();
    }
}

// KeyUp first, then the click: a click that opens a dialog does not hold back the key's end.
void TavloClick::keyReleaseEvent(QKeyEvent *event)
{
    SelfPaintedControl::keyReleaseEvent(event);
    if (event->isAutoRepeat() || event->key() != Qt::Key_Space || !m_spaceHeld)
        return;
    releaseSpace();
    clicked();
}

// The face Space covered comes back: Over while the pointer rests on the button.
void TavloClick::releaseSpace()
{
    m_spaceHeld = false;
    Redraw(IsMouseOver() ? 1 : 0);
}

// Focus by mouse shows no indicator; a window or popup giving the focus back keeps what was shown.
void TavloClick::focusInEvent(QFocusEvent *event)
{
    if (event->reason() == Qt::MouseFocusReason)
        m_focusVisible = false;
    else if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        m_focusVisible = true;
    update();
    SelfPaintedControl::focusInEvent(event);
}

// Space held while the focus leaves clicks nothing, as with Qt's buttons.
void TavloClick::focusOutEvent(QFocusEvent *event)
{
    if (m_spaceHeld)
        releaseSpace();
    update();
    SelfPaintedControl::focusOutEvent(event);
}

void TavloClick::paintEvent(QPaintEvent *event)
{
    SelfPaintedControl::paintEvent(event);
    if (!focusIndicatorShown())
        return;
    QPainter painter(this);
    drawFocusRing(painter, rect(), Color::toQRgb(CaptionColor()));
}
