#include "ProBarPainter.h"

#include "BlockImage.h"
#include "ProBarArithmetic.h"
#include "ProBarCanvas.h"
#include "ProBarPaint.h"
#include "ProBarProperties.h"
#include "ProBarText.h"
#include "Rounding.h"
#include "StepErrors.h"

namespace ProBarPainter {

namespace {

void finish(StepErrors &errors, ProBarCanvas &canvas, const ProBarProperties &p)
{
    if (p.coverShow)
        errors.run([&] { ProBarPaint::PaintCover(canvas, p); });
    errors.run([&] { ProBarPaint::PaintBorder(canvas, p); });
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
            errors.run([&] { ProBarPaint::PaintBackground(canvas, p); });
            errors.run([&] { ProBarPaint::PaintProgressBlocks(canvas, p); });
            finish(errors, canvas, p);
            break;
        case 2:
        case 3:
            // The comet itself is drawn only by the timer.
            errors.run([&] { ProBarPaint::PaintBackground(canvas, p); });
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
    errors.run([&] { ProBarPaint::PaintBackground(canvas, p); });
    errors.run([&] { ProBarPaint::PaintBusyBlocks(canvas, p, phase); });
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

} // namespace ProBarPainter
