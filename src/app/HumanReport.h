#pragma once

#include "app/BatchReport.h"
#include "app/CommandLinePlan.h"
#include "app/ProgressBoard.h"

#include <QHash>

#include <cstdio>
#include <optional>

// The batch for a person: messages on one stream (a line per event; on a terminal, a line per
// running conversion redrawn in place below them; otherwise a progress line per ten percent),
// and each file written named on another, for scripts.
class HumanReport : public BatchReport {
public:
    HumanReport(const CommandLinePlan &plan, std::FILE *messages, std::FILE *results, bool terminal);

    void started(qsizetype item) override;
    void progressed(qsizetype item, int percent, qint64 elapsedMs, std::optional<qint64> leftMs) override;
    void done(qsizetype item, qint64 elapsedMs, qint64 bytes, const QString &warning) override;
    void failed(qsizetype item, const QString &reason) override;
    void skipped(qsizetype item) override;
    void cancelled(qsizetype item) override;
    void planned(qsizetype item, const QString &setting, const QString &note) override;
    void note(const QString &text) override;

    static QString progressText(int percent, qint64 elapsedMs, std::optional<qint64> leftMs);

private:
    void say(const QString &text);
    void ended(qsizetype item, const QString &text);

    const CommandLinePlan &m_plan;
    std::FILE *m_messages;
    std::FILE *m_results;
    std::optional<ProgressBoard> m_board;
    QHash<qsizetype, int> m_decile;
};
