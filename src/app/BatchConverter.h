#pragma once

#include "app/ProgressLine.h"
#include "engine/AVC.h"
#include "mainwindow/Conversion.h"

#include <QList>
#include <QObject>
#include <QTimer>

// Converts sources one after another with one preset through the same job and conversion the
// window uses, reporting on stderr. Finishes with the exit status: 0 when every conversion
// succeeded.
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
    // Ctrl-C: stops the running encoder and finishes once it has gone.
    void interrupt();

    static constexpr int ExitFailed = 1;
    static constexpr int ExitInterrupted = 130;

signals:
    void finished(int exitCode);

private:
    void next();
    void conversionEnded(bool ok);
    void showProgress(int percent);

    QString m_preset;
    QList<Item> m_items;
    qsizetype m_index = -1;
    int m_failures = 0;
    bool m_interrupted = false;
    QTimer m_timer1;
    AVC m_job;
    Conversion m_conversion;
    ProgressLine m_progress;
};
