#pragma once

#include "app/CommandLinePlan.h"
#include "workflow/ConversionSlot.h"

#include <QObject>

#include <memory>
#include <vector>

class BatchReport;

// Converts the plan's items with its preset, up to the plan's number at once, each through the
// same job and conversion the window uses, and tells the report about every event. Finishes with
// the exit status: 0 when every conversion succeeded or was skipped, 1 when one failed.
class BatchConverter : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(BatchConverter)

public:
    BatchConverter(const CommandLinePlan &plan, BatchReport &report, QObject *parent = nullptr);
    ~BatchConverter() override;

    void start();
    // A stop signal: starts nothing more, cancels every running conversion and finishes with
    // 128 + signal once they have all ended. Conversions that finish meanwhile stay.
    void interrupt(int signal);
    // Suspends every running conversion and lets them go on; the report hears of it once each
    // way. The paused span counts neither as elapsed nor in the time left.
    void pause();
    void resume();

    static constexpr int ExitFailed = 1;

    // How many conversions run at once: the plan's number (0: one per processor), no more than
    // there are items.
    static int slotCount(int jobs, qsizetype items);

signals:
    void finished(int exitCode);

private:
    void fill();
    void slotEnded(const ConversionSlot &slot, ConversionSlot::Outcome outcome);
    bool anyBusy() const;
    void finishWhenIdle();

    const CommandLinePlan &m_plan;
    BatchReport &m_report;
    std::vector<std::unique_ptr<ConversionSlot>> m_slots;
    qsizetype m_next = 0;
    int m_failures = 0;
    int m_signal = 0;
    bool m_finished = false;
    bool m_paused = false;
};
