#include "Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace Fonts {

namespace {

const QString UiFamily = QStringLiteral("DejaVu Sans");
const QString DisplayFamily = QStringLiteral("Liberation Sans");

QFont make(const QString &family, int pixelSize, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace

bool ensureAvailable(QString *error)
{
    // Loading the files directly keeps the output independent of the font configuration.
    const QStringList files{
        QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"),
        QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"),
        QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"),
        QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"),
    };
    for (const QString &file : files) {
        if (QFontDatabase::addApplicationFont(file) < 0) {
            *error = QStringLiteral("cannot load %1 (install fonts-dejavu-core and fonts-liberation)")
                         .arg(file);
            return false;
        }
    }
    for (const QString &family : {UiFamily, DisplayFamily}) {
        if (QFontInfo(make(family, 12, false)).family() != family) {
            *error = QStringLiteral("font family %1 is not available").arg(family);
            return false;
        }
    }
    return true;
}

QFont ui(int pixelSize, bool bold)
{
    return make(UiFamily, pixelSize, bold);
}

QFont display(int pixelSize, bool bold)
{
    return make(DisplayFamily, pixelSize, bold);
}

} // namespace Fonts
