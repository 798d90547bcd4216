#include "mainwindow/RunChecks.h"

#include "workflow/FileNameBytes.h"
#include "workflow/OutputFormat.h"
#include "workflow/PathText.h"
#include "workflow/SourceCheck.h"

#include <cerrno>
#include <sys/stat.h>

QString refusalBeforeRun(const QString &source, const QString &preset, const QString &destination)
{
    struct stat info {};
    if (::stat(FileNameBytes::encode(SourceCheck::forEncoder(source)).constData(), &info) != 0 && errno == ENOENT)
        return QStringLiteral("The source video file is not found:\n") + PathText::shown(source);
    if (const std::optional<QString> problem = SourceCheck::problem(source))
        return *problem + QLatin1Char('\n') + PathText::shown(source);
    if (const std::optional<QString> problem = PathText::destinationProblem(destination))
        return *problem;
    if (const std::optional<QString> problem = OutputFormat::problem(destination, preset))
        return *problem;
    return QString();
}
