#include "common/MessageBoxes.h"

#include <cstdio>

QString MessageBoxes::applicationTitle()
{
    return QStringLiteral("Zorvik Vidomar");
}

int MessageBoxes::show(const QString &text, int style, const QString &title)
{
    const QString shownTitle = title.isEmpty() ? applicationTitle() : title;
    if (const Handler presenter = current())
        return presenter(text, style, shownTitle);
    std::fprintf(stderr, "%s: %s\n", qPrintable(shownTitle), qPrintable(text));
    std::fflush(stderr);
    // Unattended, a question is answered in the negative.
    return (style & 0x0F) == YesNo || (style & 0x0F) == 3 ? No : Ok;
}
