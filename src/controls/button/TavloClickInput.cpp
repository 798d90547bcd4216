#include "controls/button/TavloClick.h"

#include "controls/InputCodes.h"
#include "common/Rounding.h"
#include "common/StepGuard.h"
#include "controls/button/ButtonSounds.h"

#include <QMouseEvent>
#include <QShortcutEvent>

namespace {

constexpr qint16 LeftButton = 1;
constexpr qint16 RightButton = 2;
constexpr qint16 ShiftOnly = 1;
constexpr qint16 CtrlAlt = 6;

float eventX(const QMouseEvent *event) { return float(event->position().x()); }
float eventY(const QMouseEvent *event) { return float(event->position().y()); }

} // namespace

bool TavloClick::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Shortcut:
        if (const auto *shortcut = static_cast<QShortcutEvent *>(event);
            m_accessKeyId != 0 && shortcut->shortcutId() == m_accessKeyId) {
            // The same access key on several controls moves the focus among them instead.
            if (shortcut->isAmbiguous())
                setFocus(Qt::ShortcutFocusReason);
            else
                clicked();
            return true;
        }
        break;
    case QEvent::Paint:
        // The access key follows the caption the control shows.
        syncAccessKey();
        break;
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ZOrderChange:
    case QEvent::ParentChange:
        // What lies under the pointer may have changed: a resting watch looks again at full pace.
        if (m_overTimer.isActive())
            wakeHoverWatch();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TavloClick::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        m_clickButtons |= event->button();
    pointerPressed(InputCodes::buttonMask(event->button()), InputCodes::shiftMask(event->modifiers()),
                   eventX(event), eventY(event));
}

void TavloClick::mouseMoveEvent(QMouseEvent *event)
{
    pointerMoved(InputCodes::buttonMask(event->buttons()), InputCodes::shiftMask(event->modifiers()),
                 eventX(event), eventY(event));
}

// The release, then the click when the button was pressed on the control and is released over it.
void TavloClick::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_clickButtons.testFlag(event->button()) && isOverControl(event->position());
    m_clickButtons.setFlag(event->button(), false);
    pointerReleased(InputCodes::buttonMask(event->button()), InputCodes::shiftMask(event->modifiers()),
                    eventX(event), eventY(event));
    if (click)
        clicked();
}

// A double click of the left or right button comes in place of the second press; its release
// is no click. Any other button's second press is an ordinary press.
void TavloClick::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        mousePressEvent(event);
        return;
    }
    m_clickButtons.setFlag(event->button(), false);
    doubleClicked();
}

void TavloClick::pointerPressed(qint16 Button, qint16 Shift, float X, float Y)
{
    if (Button == LeftButton) {
        Redraw(2);
        m_run.RightPressed = false;
    }
    if (Button == RightButton) {
        m_run.RightPressed = true;
        if (Shift == CtrlAlt)
            StepGuard("TavloClick quick save").run([this] { quickSaveSettings(); });
    }
    if (Shift == ShiftOnly && m_props.userDrag) {
        m_run.Dragging = true;
        m_run.DragStartX = X;
        m_run.DragStartY = Y;
    }
    if (isOnArrowPart(X, Y)) {
        emit ArrowMouseDown();
        m_run.ArrowPressed = true;
    } else {
        m_run.ArrowPressed = false;
        emit MouseDown(Button, Shift, X, Y);
    }
    playEventSound(m_props.soundDown, QStringLiteral("Down"));
}

// A press exactly on the split line belongs to the face.
bool TavloClick::isOnArrowPart(float X, float Y) const
{
    if (!m_props.arrowSplit || !m_props.arrowShow)
        return false;
    const float split = m_run.ArrowSplitPos;
    switch (m_props.arrowPosition) {
    case 0:
        return X > split;
    case 1:
        return X < split;
    case 2:
        return Y > split;
    case 3:
        return Y < split;
    default:
        return false;
    }
}

// A Shift-drag moves the control by the pointer's offset from where the drag started. Qt
// repaints what the move uncovers, so the form has nothing of its own to clear.
void TavloClick::pointerMoved(qint16 Button, qint16 Shift, float X, float Y)
{
    wakeHoverWatch();
    if (m_run.Dragging)
        move(x() + int(Rounding::roundHalfEven(X - m_run.DragStartX)),
             y() + int(Rounding::roundHalfEven(Y - m_run.DragStartY)));
    emit MouseMove(Button, Shift, X, Y);
}

// Over only where the pointer is: after a drag off the control the hover watch has seen it leave
// and stopped, so an Over face painted here would stay until the pointer came back.
void TavloClick::pointerReleased(qint16 Button, qint16 Shift, float X, float Y)
{
    Redraw(isOverControl(QPointF(X, Y)) ? 1 : 0);
    m_run.Dragging = false;
    emit MouseUp(Button, Shift, X, Y);
    playEventSound(m_props.soundUp, QStringLiteral("Up"));
}

// A point of the control's own coordinates on its shape (the mask, where it has one).
bool TavloClick::isOverControl(QPointF at) const
{
    const QPoint point = at.toPoint();
    return mask().isEmpty() ? rect().contains(point) : mask().contains(point);
}

// A click, or the access key: the click sound, then the event unless the press was on the arrow.
void TavloClick::clicked()
{
    playEventSound(m_props.soundClick, QStringLiteral("Click"));
    if (m_run.ArrowPressed)
        return;
    if (m_run.RightPressed)
        emit RightClick();
    else
        emit Click();
}

// Without DoubleClickEnable a double click counts as a second click.
void TavloClick::doubleClicked()
{
    playEventSound(m_props.soundClick, QStringLiteral("Click"));
    Redraw(2);
    if (m_run.ArrowPressed)
        return;
    if (m_props.doubleClickEnable) {
        if (m_run.RightPressed)
            emit RightDblClick();
        else
            emit DblClick();
    } else if (m_run.RightPressed) {
        emit RightClick();
    } else {
        emit Click();
    }
}

// The caption's "&" letter with Alt is the control's access key.
void TavloClick::syncAccessKey()
{
    if (m_props.caption == m_accessKeyCaption)
        return;
    m_accessKeyCaption = m_props.caption;
    if (m_accessKeyId != 0)
        releaseShortcut(m_accessKeyId);
    const QKeySequence key = QKeySequence::mnemonic(m_accessKeyCaption);
    m_accessKeyId = key.isEmpty() ? 0 : grabShortcut(key);
}

void TavloClick::playEventSound(int32_t Number, const QString &Word)
{
    if (m_props.sound)
        PlayButtonSound(Number, Word);
}

void TavloClick::PlayButtonSound(int32_t Number, const QString &Word)
{
    ButtonSounds::play(Number, Word, {m_props.soundCustom1, m_props.soundCustom2, m_run.TempFolder});
}
