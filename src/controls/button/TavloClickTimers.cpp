#include "TavloClick.h"

#include <QApplication>
#include <QCursor>

namespace {

// Each fade step adds 101 - FadeDelay. A FadeDelay loaded from outside 0..100 counts as the
// nearest end, so that every fade reaches full opacity.
float fadeStep(float fadeDelay)
{
    const float delay = fadeDelay > 100 ? 100 : (fadeDelay >= 0 ? fadeDelay : 0);
    return 101 - delay;
}

} // namespace

// The cross-fade: pic is blended onto pic2 with a rising opacity until it reaches 255.
void TavloClick::fadeTick()
{
    m_run.FadeLevel += fadeStep(m_props.fadeDelay);
    if (m_run.FadeLevel >= 255) {
        m_tmrFade.stop();
        m_run.FadeLevel = 255;
    }
    Surface &pic2 = m_canvas.pic2;
    const Surface &pic = m_canvas.pic;
    pic2.alphaBlend(0, 0, pic2.width(), pic2.height(), pic, 0, 0, pic.width(), pic.height(),
                    Color::toByte(m_run.FadeLevel));
    showComposite(pic2);
}

// The hover watch: the first tick that sees the pointer elsewhere is the exit (the watch then
// stops until the next pointer move); a tick that sees it over the control twice, after an
// exit, is the entry.
void TavloClick::hoverTick()
{
    if (!IsMouseOver()) {
        emit MouseOut();
        m_overTimer.stop();
        m_run.MouseOutside = true;
        Redraw(0);
    } else if (IsMouseOver() && m_run.MouseOutside) {
        emit MouseIn();
        m_run.MouseOutside = false;
        Redraw(1);
    }
}

// True exactly when the window under the pointer is this control's own.
bool TavloClick::IsMouseOver() const
{
    return QApplication::widgetAt(QCursor::pos()) == this;
}
