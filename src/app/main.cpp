#include "CommandLineMode.h"
#include "MessageBoxes.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Zorvik Vidomar"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    MessageBoxes::install([](const QString &text, int, const QString &title) {
        if (title == MessageBoxes::applicationTitle())
            std::fprintf(stderr, "vidomar: %s\n", qPrintable(text));
        else
            std::fprintf(stderr, "vidomar: %s: %s\n", qPrintable(title), qPrintable(text));
        std::fflush(stderr);
        return int(MessageBoxes::Ok);
    });

    const QStringList arguments = QCoreApplication::arguments();
    if (!CommandLineMode::wanted(arguments)) {
        std::fputs(qPrintable(CommandLineMode::usage()), stderr);
        return 2;
    }
    return CommandLineMode::run(arguments);
}
