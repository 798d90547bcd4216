#include "app/PresetListing.h"

#include "workflow/Presets.h"

#include <QJsonDocument>
#include <QJsonObject>

void listPresets(std::FILE *out, bool details, bool json)
{
    for (const QString &name : Presets::names()) {
        if (json) {
            const QJsonObject preset{{"name", name}, {"extension", FormatExtension(name)}, {"options", presetOptions(name)}};
            std::fprintf(out, "%s\n", QJsonDocument(preset).toJson(QJsonDocument::Compact).constData());
        } else if (details) {
            std::fprintf(out, "%s\t%s\t%s\n", qPrintable(name), qPrintable(FormatExtension(name)),
                         qPrintable(presetOptions(name)));
        } else {
            std::fprintf(out, "%s\n", qPrintable(name));
        }
    }
    std::fflush(out);
}
