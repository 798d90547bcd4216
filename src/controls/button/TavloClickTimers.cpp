#include "controls/button/TavloClick.h"

#include "common/StepGuard.h"

#include <QApplication>
#include <QCursor>

namespace {

// The hover watch polls as fast as the timers allow.
constexpr int WatchInterval = 1;
// While the pointer rests on the control the watch has nothing to report until something moves;
// Qt tells the control about moves, leaves, hiding and geometry changes, which bring the watch
// back to full pace. The resting pace only bounds how late a change Qt does not report (another
// window appearing under a pointer that does not move) is seen, and keeps an idle window cheap.
constexpr int RestingWatchInterval = 50;

TavloClick::PointerQuery &pointerQuery()
{
    static TavloClick::PointerQuery query;
    return query;
}

// Each fade step adds 101 - FadeDelay. A FadeDelay loaded from outside 0..100 counts as the
// nearest end, so that every fade reaches full opacity.
float fadeStep(float fadeDelay)
{
    const float delay = fadeDelay > 100 ? 100 : (fadeDelay >= 0 ? fadeDelay : 0);
    return 101 - delay;
}

} // namespace

void TavloClick::setPointerQuery(PointerQuery query)
{
    pointerQuery() = std::move(query);
}

// The cross-fade: pic is blended onto pic2 with a rising opacity until it reaches 255. The last
// step shows the face as a repaint presents it at once (with the icon's glow, which the steps
// leave out), so that a face looks the same however it was reached.
void TavloClick::fadeTick()
{
    StepGuard steps("TavloClick fade");
    m_run.FadeLevel += fadeStep(m_props.fadeDelay);
    if (m_run.FadeLevel >= 255) {
        m_tmrFade.stop();
        m_run.FadeLevel = 255;
        presentAtOnce(steps);
        return;
    }
    Surface &pic2 = m_canvas.pic2;
    const Surface &pic = m_canvas.pic;
    pic2.alphaBlend(0, 0, pic2.width(), pic2.height(), pic, 0, 0, pic.width(), pic.height(),
                    Color::toByte(m_run.FadeLevel));
    showComposite(pic2, steps);
}

// The hover watch: the first tick that sees the pointer elsewhere is the exit (the watch then
// stops until the next pointer move); a tick that sees it over the control twice, after an
// exit, is the entry. Any other tick has nothing to report.
void TavloClick::hoverTick()
{
    if (!IsMouseOver()) {
        emit MouseOut();
        m_overTimer.stop();
        m_overTimer.setInterval(WatchInterval);
        playEventSound(m_props.soundOut, QStringLiteral("Out"));
        m_run.MouseOutside = true;
        Redraw(0);
    } else if (m_run.MouseOutside && IsMouseOver()) {
        emit MouseIn();
        playEventSound(m_props.soundIn, QStringLiteral("In"));
        m_run.MouseOutside = false;
        Redraw(1);
    } else {
        restHoverWatch();
    }
}

// A pointer move starts the watch at full pace; a running watch keeps its countdown.
void TavloClick::wakeHoverWatch()
{
    if (!m_overTimer.isActive() || m_overTimer.interval() != WatchInterval)
        m_overTimer.start(WatchInterval);
}

void TavloClick::restHoverWatch()
{
    if (m_overTimer.isActive() && m_overTimer.interval() == WatchInterval)
        m_overTimer.start(RestingWatchInterval);
}

// True exactly when the widget under the pointer is this control itself: a child widget or
// another window over it counts as outside.
bool TavloClick::IsMouseOver() const
{
    const PointerQuery &query = pointerQuery();
    const QWidget *under = query ? query() : QApplication::widgetAt(QCursor::pos());
    return under == this;
}
