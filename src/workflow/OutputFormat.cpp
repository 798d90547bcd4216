#include "workflow/OutputFormat.h"

#include "workflow/PathText.h"
#include "workflow/Presets.h"
#include "workflow/ToolProcess.h"

#include <QFileInfo>
#include <QHash>

namespace OutputFormat {

namespace {

// ffmpeg's answer for a name: it guesses the format before it opens anything, and a name in a
// folder that cannot exist is never written.
std::optional<bool> knows(const QString &extension)
{
    static QHash<QString, bool> answers;
    const QString ffmpeg = ToolProcess::ffmpeg();
    const QString key = ffmpeg + QLatin1Char('\n') + extension;
    if (const auto found = answers.constFind(key); found != answers.constEnd())
        return *found;
    const QString name = QStringLiteral("/dev/null/probe") + (extension.isEmpty() ? QString() : QLatin1Char('.') + extension);
    const ToolProcess::Result result = ToolProcess::run(ffmpeg, {QStringLiteral("-v"), QStringLiteral("error"),
                                                                 QStringLiteral("-nostdin"), name},
                                                        {.timeoutMs = 10000, .maxOutput = 64 * 1024});
    if (!result.started || result.timedOut)
        return std::nullopt;
    const bool known = !(result.output + result.errors).contains("Unable to find a suitable output format");
    answers.insert(key, known);
    return known;
}

bool namesFormat(const QString &preset)
{
    const Preset *chosen = Presets::find(preset);
    if (!chosen)
        return false;
    return chosen->arguments.contains(QLatin1String("-f"))
        || presetOptions(preset).split(QLatin1Char(' ')).contains(QLatin1String("-f"));
}

} // namespace

std::optional<QString> problem(const QString &destination, const QString &preset)
{
    if (destination.isEmpty() || namesFormat(preset))
        return std::nullopt;
    const QString extension = QFileInfo(destination).suffix().toLower();
    if (knows(extension).value_or(true))
        return std::nullopt;
    const QString wanted = FormatExtension(preset);
    const QString kind = extension.isEmpty() ? QStringLiteral("ffmpeg cannot tell what kind of file to write without an extension")
                                             : QStringLiteral("ffmpeg knows no kind of file ending in .%1").arg(extension);
    QString text = QStringLiteral("Cannot write %1: %2.").arg(PathText::shown(QFileInfo(destination).fileName()), kind);
    if (!wanted.isEmpty())
        text += QStringLiteral(" Choose a name ending in %1.").arg(wanted);
    return text;
}

} // namespace OutputFormat
