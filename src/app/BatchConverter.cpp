#include "app/BatchConverter.h"

#include "common/MessageBoxes.h"
#include "mainwindow/Presets.h"

#include <QFileInfo>

#include <cstdio>

BatchConverter::BatchConverter(const QString &preset, const QList<Item> &items, QObject *parent)
    : QObject(parent), m_preset(preset), m_items(items), m_job(&m_timer1), m_progress(stderr)
{
    connect(&m_job, &AVC::DataOutput, this, &BatchConverter::onDataOutput);
    connect(&m_job, &AVC::ErrorEvent, this, [](const QString &message) { MessageBoxes::show(message); });
    connect(&m_job, &AVC::Complete, this, [this] { conversionEnded(true); });
    connect(&m_job, &AVC::Failed, this, [this] { conversionEnded(false); });
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
    m_running = true;
    ConvertAVI(m_job, m_preset, item.source, item.destination, &m_ratio);
    m_meter.reset(m_ratio);
    // Nothing was launched: the job has said why.
    if (m_job.state() == AVC::State::Idle && !m_job.encoderRunning())
        conversionEnded(false);
}

void BatchConverter::onDataOutput(const QString &text, qint64 fileSize)
{
    if (m_interrupted || !m_running)
        return;
    if (fileSize > 0) {
        m_progress.update(m_meter.feed(text, fileSize));
        return;
    }
    // The source is missing or empty: stop the encoder, as the window does.
    m_progress.finish();
    m_job.CancelConvert();
    MessageBoxes::show(QStringLiteral("The Source video file is not found!"));
    m_running = false;
    ++m_failures;
    waitForEncoderThen([this] { next(); });
}

void BatchConverter::conversionEnded(bool ok)
{
    if (!m_running)
        return;
    m_running = false;
    if (ok) {
        m_progress.update(100);
        m_progress.finish();
        const QString dest = QFileInfo(m_items.at(m_index).destination).absoluteFilePath();
        std::fprintf(stderr, "vidomar: finished %s\n", qPrintable(dest));
        std::printf("%s\n", qPrintable(dest));
        std::fflush(stdout);
    } else {
        m_progress.finish();
        ++m_failures;
    }
    QMetaObject::invokeMethod(this, &BatchConverter::next, Qt::QueuedConnection);
}

void BatchConverter::interrupt()
{
    if (m_interrupted)
        return;
    m_interrupted = true;
    m_running = false;
    m_progress.finish();
    std::fprintf(stderr, "vidomar: cancelling the conversion\n");
    m_job.CancelConvert();
    waitForEncoderThen([this] {
        std::fprintf(stderr, "vidomar: conversion cancelled\n");
        emit finished(ExitInterrupted);
    });
}

void BatchConverter::waitForEncoderThen(std::function<void()> then)
{
    if (!m_job.encoderRunning()) {
        QMetaObject::invokeMethod(this, then, Qt::QueuedConnection);
        return;
    }
    auto *poll = new QTimer(this);
    poll->setInterval(20);
    connect(poll, &QTimer::timeout, this, [this, poll, then] {
        if (m_job.encoderRunning())
            return;
        poll->deleteLater();
        then();
    });
    poll->start();
}
