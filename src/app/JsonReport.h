#pragma once

#include "app/BatchReport.h"
#include "app/CommandLinePlan.h"

#include <QHash>

#include <cstdio>

class QJsonObject;

// The batch for programs: one JSON object per line on its stream and nothing else; a progress
// event only when the percent changed. Each event names the host, and each about a source the
// source's index in the whole list. Failures and notes are also said to a person on the
// messages stream.
class JsonReport : public BatchReport {
public:
    JsonReport(const CommandLinePlan &plan, std::FILE *out, std::FILE *messages);

    void started(qsizetype item) override;
    void progressed(qsizetype item, int percent, qint64 elapsedMs, std::optional<qint64> leftMs) override;
    void done(qsizetype item, qint64 elapsedMs, qint64 bytes, const QString &warning) override;
    void failed(qsizetype item, const QString &reason) override;
    void skipped(qsizetype item) override;
    void cancelled(qsizetype item) override;
    void planned(qsizetype item, const QString &setting, const QString &note) override;
    void note(const QString &text) override;
    void paused() override;
    void resumed() override;

private:
    void write(QJsonObject event);
    void writeItem(qsizetype item, QJsonObject event);
    void say(const QString &text);
    // The name under key, and, when it is not text, its bytes escaped under key + "_bytes".
    static void putName(QJsonObject &event, const QString &key, const QString &name);

    const CommandLinePlan &m_plan;
    std::FILE *m_out;
    std::FILE *m_messages;
    QHash<qsizetype, int> m_percent;
    QString m_host;
};
