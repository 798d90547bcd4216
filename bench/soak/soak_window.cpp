// Conversions through the window, offscreen, one after another with the fake encoder: after each,
// the open file descriptors, the child processes and the resident memory of this process.
//
// Usage: soak_window BIN_DIR [CONVERSIONS]   (BIN_DIR holds fake_encoder; default 30 conversions)
// Prints one line per conversion, then first against last. Exit status 1 when a conversion did not
// finish, a message box appeared, descriptors grew, a child process stayed, or memory grew by more
// than the allowance.

#include "FileContent.h"
#include "ProcessTree.h"
#include "common/MessageBoxes.h"
#include "controls/button/TavloClick.h"
#include "controls/progressbar/TavloProBar.h"
#include "mainwindow/WindowQueue.h"
#include "mainwindow/DesktopNotifier.h"
#include "mainwindow/Form1.h"
#include "mainwindow/WindowHelpers.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace {

// Memory may settle a little after the first conversions (caches, the allocator); a leak of the
// size of one conversion's objects repeated 30 times shows well above this.
constexpr qint64 AllowedGrowthKiB = 2048;

struct Figures {
    int descriptors = 0;
    int children = 0;
    qint64 rssKiB = 0;
};

Figures measure()
{
    Figures figures;
    figures.descriptors = int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).size());
    figures.children = int(ProcessTree::below(ProcessTree::self()).size());
    for (const QByteArray &line : contentOf(QStringLiteral("/proc/self/status")).split('\n')) {
        if (line.startsWith("VmRSS:"))
            figures.rssKiB = line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return figures;
}

// The window's links open nowhere during the soak.
class LinkCatcher : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl &url) { std::fprintf(stderr, "soak: link %s\n", qPrintable(url.toString())); }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: soak_window BIN_DIR [CONVERSIONS]\n");
        return 2;
    }
    const int conversions = arguments.size() > 2 ? arguments.at(2).toInt() : 30;

    QTemporaryDir work;
    const QString program = work.filePath(QStringLiteral("program"));
    const QString source = work.filePath(QStringLiteral("clip.avi"));
    QFile sourceFile(source);
    if (!QDir().mkpath(program) || !sourceFile.open(QIODevice::WriteOnly)
        || !QFile::copy(arguments.at(1) + QStringLiteral("/fake_encoder"), program + QStringLiteral("/avformat.dll"))) {
        std::fprintf(stderr, "soak: cannot prepare %s\n", qPrintable(work.path()));
        return 2;
    }
    sourceFile.write(QByteArray(1 << 20, 'v'));
    sourceFile.close();

    // Settings, the update query and the desktop stay out of it.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work.filePath(QStringLiteral("settings")));
    qputenv("VIDOMAR_UPDATE_HOST", "127.0.0.1:9");
    QStringList boxes;
    MessageBoxes::install([&boxes](const QString &text, int, const QString &) {
        boxes << text;
        return int(MessageBoxes::Ok);
    });
    FileDialogs::install([](const FileDialogs::Request &) { return QString(); });
    DesktopNotifier::install([](const QString &, const QString &) {});
    LinkCatcher links;
    for (const char *scheme : {"http", "https"})
        QDesktopServices::setUrlHandler(QLatin1String(scheme), &links, "open");

    // The encoder's output: the input's length, then progress, as the real one prints it.
    qputenv("FAKE_TEXT", "  Duration: 00:00:02.00, start: 0.0\nframe=   10 size= 12kB time=00:00:01.00 bitrate=98k\r");
    qputenv("FAKE_REPEAT", "4");
    qputenv("FAKE_DELAY_MS", "20");

    Form1 form;
    form.show();
    form.queue()->runner().setProgramFolder(program);
    form.useSource(source);

    int completed = 0;
    int failed = 0;
    QList<Figures> figures;
    std::printf("%4s %6s %8s %10s  %s\n", "run", "fds", "children", "VmRSS kB", "bar");
    for (int run = 1; run <= conversions; ++run) {
        QEventLoop loop;
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        const QMetaObject::Connection onEnd = QObject::connect(form.queue(), &WindowQueue::finished, &loop, [&] {
            ++(form.queue()->runner().lastEnding().state == QueueItem::State::Done ? completed : failed);
            QTimer::singleShot(0, &loop, &QEventLoop::quit);
        });
        limit.start(30000);
        QMetaObject::invokeMethod(form.cmdConvert(), "Click");
        loop.exec();
        QObject::disconnect(onEnd);
        // Objects the run released late (the finished process) go before the count.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        figures << measure();
        std::printf("%4d %6d %8d %10lld  %s %d\n", run, figures.last().descriptors, figures.last().children,
                    figures.last().rssKiB, qPrintable(form.ProBar()->Caption()), form.ProBar()->ProValue().toInt());
    }

    const Figures &first = figures.first();
    const Figures &last = figures.last();
    std::printf("window: %d conversions, %d finished, %d failed, %lld message boxes\n", conversions, completed, failed,
                qint64(boxes.size()));
    std::printf("window first vs last: descriptors %d -> %d, children %d -> %d, VmRSS %lld -> %lld kB (%+lld kB)\n",
                first.descriptors, last.descriptors, first.children, last.children, first.rssKiB, last.rssKiB,
                last.rssKiB - first.rssKiB);
    for (const QString &box : boxes)
        std::printf("box: %s\n", qPrintable(box));
    const bool ok = completed == conversions && boxes.isEmpty() && last.descriptors <= first.descriptors
        && last.children == 0 && last.rssKiB - first.rssKiB <= AllowedGrowthKiB;
    std::printf("window soak: %s\n", ok ? "no growth" : "FAILED");
    for (const char *scheme : {"http", "https"})
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    return ok ? 0 : 1;
}

#include "soak_window.moc"
