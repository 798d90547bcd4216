#include "app/PresetListing.h"

#include "engine/AVC.h"
#include "workflow/Presets.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Applies the preset as a conversion does; without a source the job starts nothing and keeps
// the settings the preset wrote.
QString encoderOptions(const QString &preset)
{
    AVC job(nullptr);
    ConvertAVI(job, preset, QString(), QString());
    return job.settings().options(false).trimmed();
}

} // namespace

void listPresets(std::FILE *out, bool details, bool json)
{
    for (const QString &name : Presets::names()) {
        if (json) {
            const QJsonObject preset{{"name", name}, {"extension", FormatExtension(name)}, {"options", encoderOptions(name)}};
            std::fprintf(out, "%s\n", QJsonDocument(preset).toJson(QJsonDocument::Compact).constData());
        } else if (details) {
            std::fprintf(out, "%s\t%s\t%s\n", qPrintable(name), qPrintable(FormatExtension(name)),
                         qPrintable(encoderOptions(name)));
        } else {
            std::fprintf(out, "%s\n", qPrintable(name));
        }
    }
    std::fflush(out);
}
