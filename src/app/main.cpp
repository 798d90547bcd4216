#include "app/CommandLineMode.h"
#include "app/StopSignals.h"
#include "common/MessageBoxes.h"
#include "mainwindow/Form1.h"
#include "mainwindow/MessageBoxPresenter.h"
#include "workflow/Presets.h"

#include <QApplication>

#include <cstdio>
#include <memory>

namespace {

void setIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("Zorvik Vidomar"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
}

int runCommandLine(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    setIdentity();
    MessageBoxes::install([](const QString &text, int, const QString &title) {
        if (title == MessageBoxes::applicationTitle())
            std::fprintf(stderr, "vidomar: %s\n", qPrintable(text));
        else
            std::fprintf(stderr, "vidomar: %s: %s\n", qPrintable(title), qPrintable(text));
        std::fflush(stderr);
        return int(MessageBoxes::Ok);
    });
    return CommandLineMode::run(QCoreApplication::arguments());
}

int runWindow(int argc, char **argv)
{
    QApplication app(argc, argv);
    setIdentity();
    // One look on every desktop: the window draws itself; the few standard controls follow it.
    QApplication::setStyle(QStringLiteral("Fusion"));
    MessageBoxes::install(MessageBoxPresenter::present);
    Form1 window;
    // What is wrong with the user's preset file, which the window has listed without it: one box.
    if (const QStringList problems = Presets::problems(); !problems.isEmpty())
        MessageBoxes::show(problems.join(QLatin1Char('\n')), MessageBoxes::Exclamation);
    // Files named on the command line (as "Open with" passes them): one is the source, several
    // go into the queue.
    window.useSources(QApplication::arguments().mid(1));
    // A stop signal ends the program as closing does, but without asking: the running conversion
    // is stopped cleanly first.
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::received, &window, &Form1::stopAndClose);
    QObject::connect(&stopSignals, &StopSignals::suspendRequested, &window, [&window] {
        window.suspendEncoders(true);
        StopSignals::stopSelf();
    });
    QObject::connect(&stopSignals, &StopSignals::continued, &window, [&window] { window.suspendEncoders(false); });
    window.show();
    const int status = QApplication::exec();
    return stopSignals.first() != 0 ? 128 + stopSignals.first() : status;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (CommandLineMode::wanted(arguments))
        return runCommandLine(argc, argv);
    return runWindow(argc, argv);
}
