#include "app/BatchConverter.h"

#include <QFileInfo>

#include <cstdio>

BatchConverter::BatchConverter(const QString &preset, const QList<Item> &items, QObject *parent)
    : QObject(parent), m_preset(preset), m_items(items), m_job(&m_timer1), m_conversion(m_job), m_progress(stderr)
{
    connect(&m_job, &AVC::DataOutput, &m_conversion, &Conversion::onDataOutput);
    connect(&m_job, &AVC::ErrorEvent, &m_conversion, &Conversion::onErrorEvent);
    connect(&m_job, &AVC::Complete, &m_conversion, &Conversion::onComplete);
    connect(&m_job, &AVC::Failed, &m_conversion, &Conversion::onFailed);
    connect(&m_job, &AVC::Cancelled, &m_conversion, &Conversion::onCancelled);

    connect(&m_conversion, &Conversion::progressed, this, &BatchConverter::showProgress);
    connect(&m_conversion, &Conversion::finished, this, [this] { conversionEnded(true); });
    connect(&m_conversion, &Conversion::failed, this, [this] { conversionEnded(false); });
    connect(&m_conversion, &Conversion::sourceMissing, this, [this] { conversionEnded(false); });
    connect(&m_conversion, &Conversion::cancelled, this, [this] {
        m_progress.finish();
        std::fprintf(stderr, "vidomar: conversion cancelled\n");
        emit finished(ExitInterrupted);
    });
}

void BatchConverter::start()
{
    QMetaObject::invokeMethod(this, &BatchConverter::next, Qt::QueuedConnection);
}

void BatchConverter::next()
{
    if (m_interrupted)
        return;
    if (++m_index >= m_items.size()) {
        emit finished(m_failures == 0 ? 0 : ExitFailed);
        return;
    }
    const Item &item = m_items.at(m_index);
    std::fprintf(stderr, "vidomar: converting %s to %s (%s)\n", qPrintable(item.source),
                 qPrintable(item.destination), qPrintable(m_preset));
    m_progress.start();
    // Nothing was launched: the job has said why.
    if (!m_conversion.start(m_preset, item.source, item.destination))
        conversionEnded(false);
}

void BatchConverter::showProgress(int percent)
{
    if (!m_conversion.cancelling())
        m_progress.update(percent, m_conversion.timeLeftMs());
}

void BatchConverter::conversionEnded(bool ok)
{
    if (ok) {
        m_progress.update(100, 0);
        m_progress.finish();
        const QString dest = QFileInfo(m_items.at(m_index).destination).absoluteFilePath();
        std::fprintf(stderr, "vidomar: finished %s\n", qPrintable(dest));
        std::printf("%s\n", qPrintable(dest));
        std::fflush(stdout);
    } else {
        m_progress.finish();
        ++m_failures;
    }
    // Interrupted as it ended: nothing is left to stop.
    if (m_interrupted) {
        emit finished(ExitInterrupted);
        return;
    }
    QMetaObject::invokeMethod(this, &BatchConverter::next, Qt::QueuedConnection);
}

void BatchConverter::interrupt()
{
    if (m_interrupted)
        return;
    m_interrupted = true;
    m_progress.finish();
    if (!m_conversion.running()) {
        QMetaObject::invokeMethod(this, [this] { emit finished(ExitInterrupted); }, Qt::QueuedConnection);
        return;
    }
    std::fprintf(stderr, "vidomar: cancelling the conversion\n");
    m_conversion.cancel();
}
