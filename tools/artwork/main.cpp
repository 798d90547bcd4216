// Regenerates the program's pictures into a resources folder:
//   artwork <resources-folder> [--preview <folder>]
// The pictures are committed; run scripts/make-artwork after changing this tool.

#include "Artwork.h"
#include "Fonts.h"
#include "Preview.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "artwork: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // Painting needs no screen; keep it working on machines without one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Paints Zorvik Vidomar's pictures into a resources folder."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("resources"), QStringLiteral("The resources folder to write."));
    const QCommandLineOption previewOption(QStringLiteral("preview"),
                                           QStringLiteral("Also write review pictures into <folder>."),
                                           QStringLiteral("folder"));
    parser.addOption(previewOption);
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(1);

    QString error;
    if (!Fonts::ensureAvailable(&error))
        return fail(error);

    const Artwork art = paintArtwork();
    const QDir resources(parser.positionalArguments().constFirst());
    for (auto it = art.cbegin(); it != art.cend(); ++it) {
        const QString path = resources.filePath(it.key());
        if (!QDir().mkpath(QFileInfo(path).path()) || !it.value().save(path))
            return fail(QStringLiteral("cannot write %1").arg(path));
    }
    if (parser.isSet(previewOption) && !Preview::write(art, parser.value(previewOption), &error))
        return fail(error);
    return 0;
}
