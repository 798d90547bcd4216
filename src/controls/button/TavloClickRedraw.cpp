#include "controls/button/TavloClick.h"

#include "common/StepGuard.h"
#include "controls/button/paint/ButtonCaption.h"
#include "controls/button/paint/ButtonEffects.h"
#include "controls/button/paint/ButtonHoverEffect.h"
#include "controls/button/paint/ButtonIcon.h"
#include "controls/button/paint/ButtonOutline.h"
#include "controls/button/paint/ButtonShadow.h"
#include "controls/button/paint/FaceStyles.h"

#include <QBitmap>
#include <QScopedValueRollback>

// The repaint pipeline: Redraw composes the face in pic, builds the shape mask in picTemp, lays
// the effects over the face, presents it (at once or through the fade), runs the hover effect and
// sets the mask. Each step that fails (a value that does not fit its drawing call) ends alone;
// the repaint logs its first failure.

void TavloClick::Redraw(int32_t state)
{
    StepGuard steps("TavloClick Redraw");
    m_run.LastState = state;
    composeFace(state, steps);
    ButtonPaintContext context = paintContext();
    steps.run([&] { ButtonOutline::drawShapeMask(m_canvas.picTemp, m_props); });
    if (!m_props.freeze) {
        if (m_props.tint)
            steps.run([&] { ButtonEffects::DrawTint(context); });
        if (m_props.arrowShow)
            steps.run([&] { ButtonEffects::DrawArrow(context); });
        if (m_props.texture)
            steps.run([&] { ButtonEffects::DrawTexture(context); });
        if (m_props.shadow)
            steps.run([&] { ButtonShadow::DrawShadow(context); });
        if (m_props.alpha)
            steps.run([&] { ButtonEffects::DrawAlpha(context); });
    }
    m_canvas.plainFace = m_canvas.pic;
    const bool fading = m_props.fade && state != m_run.PreviousState;
    if (fading) {
        // The fade clock presents the new face step by step; a running fade keeps its pace.
        m_run.FadeLevel = 0;
        if (!m_tmrFade.isActive())
            m_tmrFade.start();
    } else {
        m_tmrFade.stop();
        presentAtOnce(steps);
    }
    // With Fade on, the fade that follows the hover effect is what settles its frames into the
    // face. A repaint of the state already on show starts no fade (a release after the watch
    // saw the pointer arrive, or the watch's entry after a release), so it plays no effect:
    // the face stays as a slow hover leaves it. Without Fade the last frame is the look anyway.
    if (m_props.enableEffects && state == 1 && (fading || !m_props.fade))
        runHoverEffect(steps);
    applyMask();
    m_run.PreviousState = state;
}

void TavloClick::composeFace(int32_t state, StepGuard &steps)
{
    Surface &pic = m_canvas.pic;
    if (m_props.customPic) {
        const float motion = static_cast<float>(width() + height()) / 100.0f;
        switch (state) {
        case 1:
            if (m_props.upMotion)
                m_run.MotionOffset = -motion;
            m_run.CurrentFacePicture = m_props.picOver;
            break;
        case 2:
            if (m_props.upMotion)
                m_run.MotionOffset = motion;
            m_run.CurrentFacePicture = m_props.picDown;
            break;
        default:
            m_run.MotionOffset = 0;
            m_run.CurrentFacePicture = m_props.picNormal;
            break;
        }
        pic.paintPicture(m_run.CurrentFacePicture.image(), 0, 0, pic.width(), pic.height());
        return;
    }
    steps.run([&] { FaceStyles::PaintFace(pic, FaceStyles::faceInputs(m_props, state)); });
    steps.run([&] { ButtonOutline::DrawBorder(pic, m_props); });
}

// The face as it is: icon into pic, pic onto the control, caption over it. pic2 keeps the face
// too, so that the next fade or hover effect starts from what is on show rather than from
// whatever pic2 held (black, on a new button).
void TavloClick::presentAtOnce(StepGuard &steps)
{
    Surface &control = m_canvas.control;
    Surface &pic = m_canvas.pic;
    layIcon(steps);
    m_canvas.pic2.bitBlt(0, 0, m_canvas.pic2.width(), m_canvas.pic2.height(), pic, 0, 0);
    control.setStretchMode(Surface::StretchMode::Halftone);
    control.stretchBlt(0, 0, control.width(), control.height(), pic, 0, 0, pic.width(), pic.height());
    ButtonPaintContext context = paintContext();
    steps.run([&] { ButtonCaption::DrawCaption(context, control, pixelsPerPoint()); });
    update();
}

// The icon into pic, on the face as Redraw composed it: an icon drawn again for every frame
// would build up its soft edges and its glow.
void TavloClick::layIcon(StepGuard &steps)
{
    if (!m_props.buttonIconShow)
        return;
    Surface &pic = m_canvas.pic;
    pic.bitBlt(0, 0, pic.width(), pic.height(), m_canvas.plainFace, 0, 0);
    ButtonPaintContext context = paintContext();
    steps.run([&] { ButtonIcon::DrawIcon(context, pic, m_tmrFade.isActive()); });
}

// One frame of the fade or the hover effect (ShowComposite): the blended surface onto the
// control, the icon into pic (for the frames still to blend), the caption over the frame.
void TavloClick::showComposite(const Surface &source, StepGuard &steps)
{
    ButtonPaintContext context = paintContext();
    Surface &control = m_canvas.control;
    control.bitBlt(0, 0, control.width(), control.height(), source, 0, 0);
    layIcon(steps);
    steps.run([&] { ButtonCaption::DrawCaption(context, control, pixelsPerPoint()); });
    update();
}

void TavloClick::DrawEffect()
{
    StepGuard steps("TavloClick DrawEffect");
    runHoverEffect(steps);
}

void TavloClick::runHoverEffect(StepGuard &steps)
{
    ButtonPaintContext context = paintContext();
    steps.run([&] {
        ButtonHoverEffect::DrawEffect(context, [&] {
            showComposite(m_canvas.pic2, steps);
            // The animation runs inside this call, so each frame is painted at once.
            if (isVisible())
                repaint();
        });
    });
}

// Pixels of picTemp in MaskColor are neither painted nor take mouse input. The region is only
// rebuilt when the mask changes.
void TavloClick::applyMask()
{
    const QImage bits = ButtonOutline::maskBits(m_canvas.picTemp, m_props.maskColor);
    if (bits == m_canvas.appliedMask)
        return;
    m_canvas.appliedMask = bits;
    if (bits.isNull())
        clearMask();
    else
        setMask(QBitmap::fromImage(bits));
}

// The container without its children, under the control's rectangle. Rendering the container
// first delivers its children's pending move and resize events, which may repaint this button
// inside its own capture; that inner repaint captures nothing, the outer one paints over it.
void TavloClick::captureBehind(Surface &target)
{
    target.clear();
    QWidget *container = parentWidget();
    if (!container || width() <= 0 || height() <= 0 || m_canvas.capturingBehind)
        return;
    QImage behind(size(), QImage::Format_RGB32);
    behind.fill(Qt::black);
    const QScopedValueRollback<bool> capturing(m_canvas.capturingBehind, true);
    container->render(&behind, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
    target.paintPicture(behind, 0, 0, target.width(), target.height());
}

ButtonPaintContext TavloClick::paintContext()
{
    return {m_props, m_canvas, m_run, m_lblCap, [this](Surface &target) { captureBehind(target); }};
}

// The control's vertical scale of one point.
double TavloClick::pixelsPerPoint() const { return logicalDpiY() / 72.0; }
