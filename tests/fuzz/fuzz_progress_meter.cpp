// The progress meter on any encoder output. Input: eight bytes of source size (little-endian,
// any sign), one byte of ratio (signed), then the text, cut into chunks at 0xFF bytes. Every
// figure stays within 0..Cap, and every clock read is a finite, non-negative number of seconds.

#include "FuzzSupport.h"
#include "engine/ProgressMeter.h"

#include <cmath>
#include <cstring>

namespace {

void checkClock(QStringView text)
{
    const std::optional<double> seconds = ProgressMeter::parseClock(text);
    if (seconds && !(std::isfinite(*seconds) && *seconds >= 0))
        Fuzz::fail("a clock reads as no number of seconds", text.toString());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 9)
        return 0;
    qint64 fileSize = 0;
    std::memcpy(&fileSize, data, sizeof fileSize);
    const int ratio = int(int8_t(data[8]));
    ProgressMeter meter;
    meter.reset(ratio);
    for (const QString &chunk : Fuzz::pieces(data + 9, size - 9, char(0xFF))) {
        const int value = meter.feed(chunk, fileSize);
        if (value < 0 || value > ProgressMeter::Cap || value != meter.value())
            Fuzz::fail("the figure left 0..Cap", QString::number(value));
        if (meter.estimate() < 0 || meter.estimate() > ProgressMeter::Cap)
            Fuzz::fail("the estimate left 0..Cap", QString::number(meter.estimate()));
        for (QStringView part : QStringView(chunk).split(QLatin1Char(' ')))
            checkClock(part);
    }
    return 0;
}
