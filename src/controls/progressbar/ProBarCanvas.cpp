#include "controls/progressbar/ProBarCanvas.h"

namespace {
constexpr OleColor windowBackground = OleColor(0x80000005);
constexpr OleColor windowText = OleColor(0x80000008);
constexpr OleColor black = 0;
constexpr OleColor white = 0xFFFFFF;
} // namespace

ProBarCanvas::ProBarCanvas()
{
    picMask.setBackColor(black);
    picMask.setForeColor(white);
    for (Surface *surface : {&picCover, &picBlock}) {
        surface->setBackColor(windowBackground);
        surface->setForeColor(windowText);
    }
}
