#include "controls/progressbar/paint/ProBarCanvas.h"

namespace {
constexpr OleColor WindowBackground = OleColor(0x80000005);
constexpr OleColor WindowText = OleColor(0x80000008);
constexpr OleColor Black = 0;
constexpr OleColor White = 0xFFFFFF;
} // namespace

ProBarCanvas::ProBarCanvas()
{
    picMask.setBackColor(Black);
    picMask.setForeColor(White);
    for (Surface *surface : {&picCover, &picBlock}) {
        surface->setBackColor(WindowBackground);
        surface->setForeColor(WindowText);
    }
}
