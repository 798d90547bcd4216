#pragma once

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Shared pieces of the fuzz targets: the offscreen application the controls need, and ways to
// read the fuzzer's bytes as text and as lists.
namespace Fuzz {

// One offscreen application for the whole run, made before the first input and never destroyed,
// as the fuzzer ends the process with exit(). Qt's own warnings (and the controls' logged drawing
// errors) would flood the fuzzer's output, so they are dropped.
inline void startApplication()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "fatal: %s\n", qPrintable(message));
            std::abort();
        }
    });
    static int argc = 1;
    static char name[] = "vidomar-fuzz";
    static char *argv[] = {name, nullptr};
    static QApplication *application = new QApplication(argc, argv);
    Q_UNUSED(application);
}

inline QString text(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The input cut at every separator byte, each piece read as UTF-8.
inline QStringList pieces(const uint8_t *data, size_t size, char separator)
{
    QStringList list;
    for (const QByteArray &piece : bytes(data, size).split(separator))
        list << QString::fromUtf8(piece);
    return list;
}

// A broken promise of the code under test: the fuzzer records the input.
[[noreturn]] inline void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "invariant broken: %s\n%s\n", what, qPrintable(detail));
    std::abort();
}

} // namespace Fuzz
