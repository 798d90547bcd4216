#pragma once

#include <QString>

#include <optional>

// What a batch of conversions tells its user, event by event. Items are the plan's, by index;
// every item that is not skipped is started and then ends once: done, failed or cancelled.
class BatchReport {
public:
    virtual ~BatchReport() = default;

    virtual void started(qsizetype item) = 0;
    // leftMs: once the encoder has reported how far it is.
    virtual void progressed(qsizetype item, int percent, qint64 elapsedMs, std::optional<qint64> leftMs) = 0;
    // warning: what the user should know about the result, or empty.
    virtual void done(qsizetype item, qint64 elapsedMs, qint64 bytes, const QString &warning) = 0;
    virtual void failed(qsizetype item, const QString &reason) = 0;
    // -n: the destination exists and stays as it is.
    virtual void skipped(qsizetype item) = 0;
    virtual void cancelled(qsizetype item) = 0;
    // A target's line was chosen for the item: its setting and what the user should know of it.
    virtual void planned(qsizetype item, const QString &setting, const QString &note) = 0;
    // About the batch as a whole.
    virtual void note(const QString &text) = 0;
    // The running conversions were paused (the program is being stopped) and resumed.
    virtual void paused() {}
    virtual void resumed() {}
};
