#include "common/MessageBoxes.h"

#include <cstdio>

namespace {

MessageBoxes::Handler &current()
{
    static MessageBoxes::Handler handler;
    return handler;
}

} // namespace

namespace MessageBoxes {

QString applicationTitle()
{
    return QStringLiteral("Zorvik Vidomar");
}

int show(const QString &text, int style, const QString &title)
{
    const QString shownTitle = title.isEmpty() ? applicationTitle() : title;
    if (current())
        return current()(text, style, shownTitle);
    std::fprintf(stderr, "%s: %s\n", qPrintable(shownTitle), qPrintable(text));
    std::fflush(stderr);
    // Unattended, a question is answered in the negative.
    return (style & 0x0F) == 4 || (style & 0x0F) == 3 ? No : Ok;
}

Handler install(Handler handler)
{
    Handler previous = std::move(current());
    current() = std::move(handler);
    return previous;
}

} // namespace MessageBoxes
