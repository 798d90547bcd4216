#include "TavloClick.h"

// The repaint pipeline. This file keeps the state bookkeeping of Redraw, the custom-picture
// face and the presentation; drawn faces are plain fills of the state's first colour until
// the face styles, border, mask and effects are painted here.

void TavloClick::Redraw(int32_t state)
{
    m_run.LastState = state;
    composeFace(state);
    if (m_props.fade && state != m_run.PreviousState) {
        // The fade clock presents the new face step by step; a running fade keeps its pace.
        m_run.FadeLevel = 0;
        if (!m_tmrFade.isActive())
            m_tmrFade.start();
    } else {
        m_tmrFade.stop();
        showComposite(m_canvas.pic);
    }
    m_run.PreviousState = state;
}

void TavloClick::composeFace(int32_t state)
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
    const OleColor face = state == 1 ? m_props.buttonColorOver1
        : state == 2                 ? m_props.buttonColorDown1
                                     : m_props.buttonColorNormal1;
    pic.filledBox(0, 0, pic.width() - 1, pic.height() - 1, Color::TranslateColor(face));
}

// One presented frame: the source stretched onto the control surface, then the caption.
void TavloClick::showComposite(const Surface &source)
{
    Surface &control = m_canvas.control;
    control.setStretchMode(Surface::StretchMode::Halftone);
    control.stretchBlt(0, 0, control.width(), control.height(), source, 0, 0, source.width(),
                       source.height());
    control.setFont(m_props.font);
    control.setTextColor(m_lblCap.foreColor());
    control.drawText(m_props.caption, 0, 0, control.width(), control.height(),
                     Surface::AlignCenter | Surface::VCenter | Surface::SingleLine);
    update();
}
