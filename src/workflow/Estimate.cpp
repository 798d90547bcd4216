#include "workflow/Estimate.h"

#include <cmath>

Estimate Estimate::from(const Samples::Source &source, int samples, const Samples::Measure &measure,
                        RateControl::Encoder encoder)
{
    Estimate estimate;
    estimate.duration = source.duration;
    estimate.samples = samples;
    estimate.ssim = measure.ssim;
    estimate.psnr = measure.psnr;
    const double length = measure.seconds;
    if (length <= 0 || samples <= 0)
        return estimate;
    const double scale = source.duration / length;

    double video = double(measure.firstKeyBytes + measure.otherVideoBytes) * scale;
    const int keyDistance = RateControl::keyFrameDistance(encoder);
    if (keyDistance > 0 && measure.videoFrames > samples) {
        const double frameRate = measure.videoFrames / length;
        const double keyFrames = std::max(1.0, std::ceil(source.duration * frameRate / keyDistance));
        const double otherLength = length - samples / frameRate;
        const double otherFrames = std::max(0.0, source.duration - keyFrames / frameRate);
        if (otherLength > 0)
            video = double(measure.otherVideoBytes) / otherLength * otherFrames
                + double(measure.firstKeyBytes) / samples * keyFrames;
    }
    const double sound = double(measure.soundBytes) * scale;
    // The container's own bytes grow with the packets it indexes.
    const qint64 packets = measure.firstKeyBytes + measure.otherVideoBytes + measure.soundBytes;
    const double container = double(std::max<qint64>(0, measure.fileBytes - packets)) * scale;
    estimate.bytes = qint64(std::llround(video + sound + container));
    estimate.kbps = source.duration > 0 ? estimate.bytes * 8 / source.duration / 1000 : 0;
    // A run costs its start once, and each second of content after it; a start that took as long
    // as a sample (a busy machine) leaves the content at least a quarter of the samples' time.
    const double start = std::min(measure.startSeconds, measure.encodeSeconds / samples);
    const double content = std::max(measure.encodeSeconds - start * samples, measure.encodeSeconds / 4);
    estimate.seconds = start + content * scale;
    return estimate;
}
