#include "app/CommandLineMode.h"
#include "app/StopSignals.h"
#include "common/MessageBoxes.h"
#include "mainwindow/Form1.h"
#include "mainwindow/MessageBoxPresenter.h"
#include "workflow/FileNameBytes.h"
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

// The window needs a display; without one Qt would abort. A platform named on purpose
// (QT_QPA_PLATFORM, -platform) is the user's choice and is tried.
bool displayMissing(const QStringList &arguments)
{
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !arguments.contains(QLatin1String("-platform"));
}

int runCommandLine(int argc, char **argv, const QStringList &arguments)
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
    return CommandLineMode::run(arguments);
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
    // Files named on the command line (as "Open with" passes them): one is the source, several go
    // into the queue. Qt has taken its own options out of argv by now; each name keeps its bytes.
    QStringList sources;
    for (int i = 1; i < argc; ++i)
        sources << FileNameBytes::decode(argv[i]);
    window.useSources(sources);
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
    // The names as the system gave them, bytes that are not UTF-8 included.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << FileNameBytes::decode(argv[i]);
    if (CommandLineMode::wanted(arguments))
        return runCommandLine(argc, argv, arguments);
    if (displayMissing(arguments)) {
        std::fputs("vidomar: no display: to convert from the command line, use --preset NAME SOURCE\u2026\n", stderr);
        return CommandLineMode::ExitUsage;
    }
    return runWindow(argc, argv);
}
