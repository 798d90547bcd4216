#pragma once

#include <QBitmap>
#include <QSize>

#include <cstdint>
#include <optional>

class StepGuard;
struct ProBarCanvas;
struct ProBarProperties;

// The bar's whole redraw, its busy tick and its shape. The drawing steps run through the
// caller's guard: a failing step leaves the surfaces as they are and the rest still runs.
namespace ProBarPipeline {

// DrawBar at the control's inner size. In the busy modes the result is the busy timer's new
// enabled state.
std::optional<bool> DrawBar(ProBarCanvas &canvas, const ProBarProperties &properties, QSize size, double dpiY,
                            StepGuard &steps);

// One tick of the busy comet: advances phase, repaints background, comet, cover, border, text.
void busyTick(ProBarCanvas &canvas, const ProBarProperties &properties, int16_t &phase, double dpiY,
              StepGuard &steps);

// The control's shape: the rounded rectangle (0, 0)-(W, H) with BorderRound corners, drawn
// white on black on picMask; black is outside.
QBitmap buildShape(ProBarCanvas &canvas, int32_t borderRound);

} // namespace ProBarPipeline
