// TavloProBar::ReadProperties from any JSON bag: it reads or fails with a RuntimeError, the bar
// then draws (or reports a RuntimeError) and runs its busy animation, and what WriteProperties
// stores reads back as itself.

#include "FuzzSupport.h"
#include "common/PropertyBag.h"
#include "common/RuntimeError.h"
#include "controls/progressbar/TavloProBar.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const PropertyBag bag = PropertyBag::fromJson(Fuzz::bytes(data, size));
    PropertyBag written;
    {
        TavloProBar bar;
        // The window's bar.
        bar.setGeometry(18, 329, 386, 32);
        try {
            bar.ReadProperties(bag);
        } catch (const RuntimeError &) {
            // A bad value stops the read at its key.
        }
        try {
            bar.DrawBar();
        } catch (const RuntimeError &) {
            // Values the painter cannot use are reported, after drawing what it can.
        }
        for (int tick = 0; tick < 3; ++tick)
            bar.busyTick();
        bar.WriteProperties(written);
    }
    TavloProBar copy;
    try {
        copy.ReadProperties(written);
    } catch (const RuntimeError &error) {
        Fuzz::fail("written properties do not read", error.text() + QLatin1Char('\n') + QString::fromUtf8(written.toJson()));
    }
    PropertyBag again;
    copy.WriteProperties(again);
    if (again.object() != written.object())
        Fuzz::fail("written properties read as others",
                   QString::fromUtf8(written.toJson()) + QLatin1Char('\n') + QString::fromUtf8(again.toJson()));
    return 0;
}
