#include "controls/button/CaptionLabel.h"

#include <QFontMetrics>

int CaptionLabel::width() const
{
    return QFontMetrics(m_font).size(0, m_caption).width();
}

int CaptionLabel::height() const
{
    return QFontMetrics(m_font).size(0, m_caption).height();
}
