#include "app/CommandLineMode.h"
#include "app/StopSignals.h"
#include "common/MessageBoxes.h"
#include "mainwindow/Form1.h"

#include <QApplication>
#include <QMessageBox>

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

// Message boxes of the window: the classic style value picks the buttons and the icon.
int showBox(const QString &text, int style, const QString &title)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    switch (style & 0xF0) {
    case MessageBoxes::Critical: box.setIcon(QMessageBox::Critical); break;
    case MessageBoxes::Question: box.setIcon(QMessageBox::Question); break;
    case MessageBoxes::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MessageBoxes::Information: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    if ((style & 0x0F) == 4) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MessageBoxes::Yes : MessageBoxes::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageBoxes::Ok;
}

int runWindow(int argc, char **argv)
{
    QApplication app(argc, argv);
    setIdentity();
    // One look on every desktop: the window draws itself; the few standard controls follow it.
    QApplication::setStyle(QStringLiteral("Fusion"));
    MessageBoxes::install(showBox);
    Form1 window;
    // A file named on the command line (as "Open with" passes it) is the source.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        window.useSource(arguments.at(1));
    // A stop signal ends the program as closing does, but without asking: the running conversion
    // is stopped cleanly first.
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::received, &window, &Form1::stopAndClose);
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
