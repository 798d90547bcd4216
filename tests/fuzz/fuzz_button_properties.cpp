// TavloClick::ReadProperties from any JSON bag: it reads or fails with a RuntimeError, the
// control then paints in all three states (values from a bag are stored unchecked), and what
// WriteProperties stores reads back as itself.

#include "FuzzSupport.h"
#include "common/PropertyBag.h"
#include "common/RuntimeError.h"
#include "controls/button/TavloClick.h"

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
        TavloClick button;
        try {
            button.ReadProperties(bag);
        } catch (const RuntimeError &) {
            // A bad value stops the read at its key.
        }
        for (int state : {1, 2, 0})
            button.Redraw(state);
        button.WriteProperties(written);
    }
    TavloClick copy;
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
