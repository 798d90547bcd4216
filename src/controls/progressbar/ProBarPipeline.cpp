#include "controls/progressbar/ProBarPipeline.h"

#include "common/Rounding.h"
#include "controls/progressbar/BlockImage.h"
#include "controls/progressbar/ProBarArithmetic.h"
#include "controls/progressbar/ProBarCanvas.h"
#include "controls/progressbar/ProBarLayers.h"
#include "controls/progressbar/ProBarProperties.h"
#include "controls/progressbar/ProBarText.h"
#include "controls/progressbar/StepErrors.h"

namespace ProBarPipeline {

namespace {

void finish(StepErrors &errors, ProBarCanvas &canvas, const ProBarProperties &p)
{
    if (p.coverShow)
        errors.run([&] { ProBarLayers::PaintCover(canvas, p); });
    errors.run([&] { ProBarLayers::PaintBorder(canvas, p); });
}

} // namespace

DrawOutcome DrawBar(ProBarCanvas &canvas, const ProBarProperties &p, QSize size, double dpiY)
{
    DrawOutcome outcome;
    StepErrors errors;
    canvas.W = static_cast<float>(size.width());
    canvas.H = size.height();
    canvas.control.resize(size.width(), size.height());

    errors.run([&] { BuildBlockImage(canvas.picBlock, p, canvas.W, canvas.H); });
    // ProMax 0 draws nothing more, so no division by it takes place.
    if (p.proMax != 0) {
        switch (p.barMode) {
        case 0:
        case 1:
            errors.run([&] { ProBarLayers::PaintBackground(canvas, p); });
            errors.run([&] { ProBarLayers::PaintProgressBlocks(canvas, p); });
            finish(errors, canvas, p);
            break;
        case 2:
        case 3:
            // The comet itself is drawn only by the timer.
            errors.run([&] { ProBarLayers::PaintBackground(canvas, p); });
            outcome.busyTimerEnabled = p.busy;
            finish(errors, canvas, p);
            break;
        default:
            break;
        }
        errors.run([&] { ProBarText::PaintText(canvas, p, dpiY); });
    }
    outcome.error = errors.first();
    return outcome;
}

std::optional<RuntimeError> BusyTick(ProBarCanvas &canvas, const ProBarProperties &p, int16_t &phase,
                                     double dpiY)
{
    StepErrors errors;
    errors.run([&] { phase = ProBarArithmetic::nextBusyPhase(phase, p.busySpeed); });
    errors.run([&] { ProBarLayers::PaintBackground(canvas, p); });
    errors.run([&] { ProBarLayers::PaintBusyBlocks(canvas, p, phase); });
    finish(errors, canvas, p);
    errors.run([&] { ProBarText::PaintText(canvas, p, dpiY); });
    return errors.first();
}

QBitmap BuildShape(ProBarCanvas &canvas, int32_t borderRound)
{
    Surface &mask = canvas.picMask;
    mask.clear();
    mask.setFillColor(mask.foreColor());
    mask.setFillStyle(Surface::FillStyle::Solid);
    mask.roundRect(0, 0, Rounding::toLong(canvas.W), canvas.H, borderRound, borderRound);
    return mask.toMask(mask.backColor());
}

} // namespace ProBarPipeline
