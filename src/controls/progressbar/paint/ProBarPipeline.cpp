#include "controls/progressbar/paint/ProBarPipeline.h"

#include "common/Rounding.h"
#include "common/StepGuard.h"
#include "controls/progressbar/paint/BlockImage.h"
#include "controls/progressbar/paint/ProBarArithmetic.h"
#include "controls/progressbar/paint/ProBarCanvas.h"
#include "controls/progressbar/paint/ProBarLayers.h"
#include "controls/progressbar/model/ProBarProperties.h"
#include "controls/progressbar/paint/ProBarText.h"

namespace ProBarPipeline {

namespace {

void finish(StepGuard &steps, ProBarCanvas &canvas, const ProBarProperties &p)
{
    if (p.coverShow)
        steps.run([&] { ProBarLayers::PaintCover(canvas, p); });
    steps.run([&] { ProBarLayers::PaintBorder(canvas, p); });
}

} // namespace

std::optional<bool> DrawBar(ProBarCanvas &canvas, const ProBarProperties &p, QSize size, double dpiY,
                            StepGuard &steps)
{
    std::optional<bool> busyTimerEnabled;
    canvas.W = static_cast<float>(size.width());
    canvas.H = size.height();
    canvas.control.resize(size.width(), size.height());

    steps.run([&] { BuildBlockImage(canvas.picBlock, p, canvas.W, canvas.H); });
    // ProMax 0 draws nothing more, so no division by it takes place.
    if (p.proMax != 0) {
        switch (p.barMode) {
        case 0:
        case 1:
            steps.run([&] { ProBarLayers::PaintBackground(canvas, p); });
            steps.run([&] { ProBarLayers::paintProgressBlocks(canvas, p); });
            finish(steps, canvas, p);
            break;
        case 2:
        case 3:
            // The comet itself is drawn only by the timer.
            steps.run([&] { ProBarLayers::PaintBackground(canvas, p); });
            busyTimerEnabled = p.busy;
            finish(steps, canvas, p);
            break;
        default:
            break;
        }
        steps.run([&] { ProBarText::PaintText(canvas, p, dpiY); });
    }
    return busyTimerEnabled;
}

void busyTick(ProBarCanvas &canvas, const ProBarProperties &p, int16_t &phase, double dpiY, StepGuard &steps)
{
    steps.run([&] { phase = ProBarArithmetic::nextBusyPhase(phase, p.busySpeed); });
    steps.run([&] { ProBarLayers::PaintBackground(canvas, p); });
    steps.run([&] { ProBarLayers::paintBusyBlocks(canvas, p, phase); });
    finish(steps, canvas, p);
    steps.run([&] { ProBarText::PaintText(canvas, p, dpiY); });
}

QBitmap buildShape(ProBarCanvas &canvas, int32_t borderRound)
{
    Surface &mask = canvas.picMask;
    mask.clear();
    mask.setFillColor(mask.foreColor());
    mask.setFillStyle(Surface::FillStyle::Solid);
    mask.roundRect(0, 0, Rounding::toLong(canvas.W), canvas.H, borderRound, borderRound);
    return mask.toMask(mask.backColor());
}

} // namespace ProBarPipeline
