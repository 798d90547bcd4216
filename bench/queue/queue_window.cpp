// The window's queue, offscreen, with the real adapter and ffmpeg: the given sources converted
// one at a time, then one per processor, from one Convert each; prints the wall time of each run
// and the speed-up. A failed conversion or a message box ends it with status 1.
//
// Usage: queue_window BIN_DIR PRESET SOURCE...   (bench/queue/run makes the sources)

#include "common/MessageBoxes.h"
#include "mainwindow/DesktopNotifier.h"
#include "mainwindow/Form1.h"
#include "mainwindow/WindowQueue.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 4) {
        std::fprintf(stderr, "usage: queue_window BIN_DIR PRESET SOURCE...\n");
        return 2;
    }
    QTemporaryDir home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    // Not a first start: no product page.
    QSettings(QStringLiteral("Zorvik"), QStringLiteral("Zorvik")).setValue(QStringLiteral("First Run/Zorvik Vidomar"), QStringLiteral("No"));
    qputenv("XDG_STATE_HOME", home.filePath(QStringLiteral("state")).toUtf8());
    qputenv("VIDOMAR_UPDATE_HOST", "127.0.0.1:9");
    QStringList boxes;
    MessageBoxes::install([&boxes](const QString &text, int, const QString &) {
        boxes << text;
        return int(MessageBoxes::Yes);
    });
    DesktopNotifier::install([](const QString &, const QString &) {});

    const QStringList sources = arguments.mid(3);
    qint64 walls[2] = {0, 0};
    for (int run = 0; run < 2; ++run) {
        for (const QString &source : sources)
            QFile::remove(WindowQueue::derivedDestination(source, arguments.at(2)));
        Form1 form;
        form.show();
        form.queue()->runner().setProgramFolder(arguments.at(1));
        form.queue()->runner().setAtOnce(run == 0 ? 1 : 0);
        form.cboFormat()->setCurrentText(arguments.at(2));
        form.useSources(sources);
        QEventLoop loop;
        QObject::connect(form.queue(), &WindowQueue::finished, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        clock.start();
        form.cmdConvert_Click();
        loop.exec();
        walls[run] = clock.elapsed();
        const QueueRunner::Summary &summary = form.queue()->runner().summary();
        std::printf("%-20s %lld ms, %d converted, %d failed\n", run == 0 ? "one at a time:" : "one per processor:",
                    static_cast<long long>(walls[run]), summary.done, summary.failed);
        if (summary.done != sources.size() || !boxes.isEmpty()) {
            std::fprintf(stderr, "queue_window: %s\n", qPrintable(boxes.join(QStringLiteral("; "))));
            return 1;
        }
    }
    std::printf("speed-up: %.2fx with %d processors\n", double(walls[0]) / double(walls[1]), QThread::idealThreadCount());
    return 0;
}
