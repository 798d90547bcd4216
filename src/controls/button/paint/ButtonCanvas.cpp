#include "controls/button/paint/ButtonCanvas.h"

namespace {

// The working size of picIcon and picShadow until a painter sizes them.
constexpr int WorkSurfaceSize = 32;

} // namespace

ButtonCanvas::ButtonCanvas()
    : picIcon(WorkSurfaceSize, WorkSurfaceSize),
      picShadow(WorkSurfaceSize, WorkSurfaceSize, ShadowBackColor)
{
}

void ButtonCanvas::resize(int width, int height)
{
    control.resize(width, height);
    pic.resize(width, height);
    pic2.resize(width, height);
    picTemp.resize(width, height);
}
