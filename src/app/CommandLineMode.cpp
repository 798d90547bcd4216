#include "app/CommandLineMode.h"

#include "app/BatchConverter.h"
#include "app/StopSignals.h"
#include "common/MessageBoxes.h"
#include "mainwindow/DestinationName.h"
#include "mainwindow/Presets.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace CommandLineMode {

namespace {

constexpr int ExitUsage = 2;

int usageError(const QString &message)
{
    std::fprintf(stderr, "vidomar: %s\n%s", qPrintable(message), qPrintable(usage()));
    return ExitUsage;
}

// The source path with its extension replaced by the preset's; no extension gets one added. A
// name that would be the source itself gets " (converted)".
QString derivedDestination(const QString &source, const QString &extension)
{
    const QFileInfo info(source);
    const QString suffix = info.suffix();
    const QString name = info.fileName();
    const QString derived = suffix.isEmpty() || name == QLatin1Char('.') + suffix
        ? source + extension
        : source.left(source.size() - suffix.size() - 1) + extension;
    return destinationApartFromSource(source, derived, extension);
}

} // namespace

QString usage()
{
    return QStringLiteral(
        "Usage: vidomar [--list-presets | --help | --version]\n"
        "       vidomar --preset NAME SOURCE [DEST]\n"
        "       vidomar --preset NAME SOURCE...\n"
        "       vidomar [SOURCE]   opens the window, with SOURCE chosen when given\n"
        "Converts SOURCE with the preset NAME (see --list-presets). Without DEST the result goes\n"
        "beside the source with the preset's extension, as \"<name> (converted)<extension>\" where\n"
        "it would be the source itself. A second argument with the preset's extension is the\n"
        "destination; otherwise every argument is a source. Progress goes to stderr; the exit\n"
        "status is 0 only when every conversion succeeded. Ctrl-C cancels.\n");
}

bool wanted(const QStringList &arguments)
{
    // Long options belong to the command-line mode (an unknown one gets the usage); single-dash
    // arguments are left to the window's toolkit.
    return std::any_of(arguments.begin() + std::min<qsizetype>(1, arguments.size()), arguments.end(),
                       [](const QString &arg) { return arg.startsWith(QLatin1String("--")) || arg == QLatin1String("-h"); });
}

int run(const QStringList &arguments)
{
    QString preset;
    bool havePreset = false;
    QStringList positional;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            positional << arg;
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(qPrintable(usage()), stdout);
            return 0;
        } else if (arg == QLatin1String("--version")) {
            std::printf("Zorvik Vidomar %s\n", qPrintable(QCoreApplication::applicationVersion()));
            return 0;
        } else if (arg == QLatin1String("--list-presets")) {
            for (const QString &name : Presets::names())
                std::printf("%s\n", qPrintable(name));
            return 0;
        } else if (arg == QLatin1String("--preset")) {
            if (++i >= arguments.size())
                return usageError(QStringLiteral("--preset needs a preset name"));
            preset = arguments.at(i);
            havePreset = true;
        } else if (arg.startsWith(QLatin1String("--preset="))) {
            preset = arg.mid(9);
            havePreset = true;
        } else {
            return usageError(QStringLiteral("unknown option %1").arg(arg));
        }
    }
    if (!havePreset)
        return usageError(QStringLiteral("no preset given"));
    const Preset *row = Presets::find(preset);
    if (!row) {
        MessageBoxes::show(QLatin1String("Error: ") + preset + QLatin1String(" is not defined."),
                           MessageBoxes::Exclamation, QStringLiteral("Not Supported"));
        return ExitUsage;
    }
    if (positional.isEmpty())
        return usageError(QStringLiteral("no source file given"));

    const QString extension = QString::fromLatin1(row->extension);
    QList<BatchConverter::Item> items;
    if (positional.size() == 2 && positional.at(1).endsWith(extension, Qt::CaseInsensitive)) {
        items.append({positional.at(0), positional.at(1)});
    } else {
        for (const QString &source : positional)
            items.append({source, derivedDestination(source, extension)});
    }

    BatchConverter converter(preset, items);
    int exitCode = 0;
    QObject::connect(&converter, &BatchConverter::finished, [&exitCode](int code) {
        exitCode = code;
        QCoreApplication::exit(code);
    });

    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::received, &converter, &BatchConverter::interrupt);

    converter.start();
    QCoreApplication::exec();
    return exitCode;
}

} // namespace CommandLineMode
