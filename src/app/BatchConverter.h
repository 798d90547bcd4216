#pragma once

#include "app/ProgressLine.h"
#include "engine/AVC.h"
#include "engine/ProgressMeter.h"

#include <QList>
#include <QObject>
#include <QTimer>

// Converts sources one after another with one preset through the same job the window uses,
// reporting on stderr. Finishes with the exit status: 0 when every conversion succeeded.
class BatchConverter : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(BatchConverter)

public:
    struct Item {
        QString source;
        QString destination;
    };

    BatchConverter(const QString &preset, const QList<Item> &items, QObject *parent = nullptr);

    void start();
    // Ctrl-C: stops the running encoder, waits until it is gone, and finishes.
    void interrupt();

    static constexpr int ExitFailed = 1;
    static constexpr int ExitInterrupted = 130;

signals:
    void finished(int exitCode);

private:
    void next();
    void onDataOutput(const QString &text, qint64 fileSize);
    void conversionEnded(bool ok);
    void waitForEncoderThen(std::function<void()> then);

    QString m_preset;
    QList<Item> m_items;
    qsizetype m_index = -1;
    int m_failures = 0;
    bool m_interrupted = false;
    bool m_running = false;
    QTimer m_timer1;
    AVC m_job;
    ProgressMeter m_meter;
    ProgressLine m_progress;
    int m_ratio = 0;
};
