#pragma once

#include "workflow/RateControl.h"
#include "workflow/Samples.h"

#include <optional>

// What a conversion will give, from its samples: the size of the whole output, the time it takes
// on this machine and the picture's quality.
struct Estimate {
    double duration = 0;      // of the converted span, seconds
    qint64 bytes = 0;         // the whole output
    double kbps = 0;          // bytes over the duration, in kbit/s
    double seconds = 0;       // to convert, wall time on this machine
    std::optional<double> ssim;
    std::optional<double> psnr;
    int samples = 0;

    // Each sample starts on a key frame the whole file has only one of every key-frame distance
    // of its encoder: the samples' first pictures are counted that often, the rest by length.
    static Estimate from(const Samples::Source &source, int samples, const Samples::Measure &measure,
                         RateControl::Encoder encoder);
};
