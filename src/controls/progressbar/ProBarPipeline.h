#pragma once

#include "common/RuntimeError.h"

#include <QBitmap>
#include <QSize>

#include <cstdint>
#include <optional>

struct ProBarCanvas;
struct ProBarProperties;

// The bar's whole redraw, its busy tick and its shape. None of them throws: a failing step
// leaves the surfaces as they are, the rest still runs, and the first error is returned.
namespace ProBarPipeline {

struct DrawOutcome {
    // Set in the busy modes: the busy timer's new enabled state.
    std::optional<bool> busyTimerEnabled;
    std::optional<RuntimeError> error;
};

// DrawBar at the control's inner size.
DrawOutcome DrawBar(ProBarCanvas &canvas, const ProBarProperties &properties, QSize size, double dpiY);

// One tick of the busy comet: advances phase, repaints background, comet, cover, border, text.
std::optional<RuntimeError> BusyTick(ProBarCanvas &canvas, const ProBarProperties &properties,
                                     int16_t &phase, double dpiY);

// The control's shape: the rounded rectangle (0, 0)-(W, H) with BorderRound corners, drawn
// white on black on picMask; black is outside.
QBitmap BuildShape(ProBarCanvas &canvas, int32_t borderRound);

} // namespace ProBarPipeline
