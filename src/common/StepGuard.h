#pragma once

#include "common/RuntimeError.h"

#include <optional>

// Runs the steps of one repaint or one handler so that a step that fails with a RuntimeError
// ends alone: what it drew or changed so far stays, and the next step still runs. The first
// failure is kept. The owner either hands it on to its own caller (takeFirst, rethrowFirst) or
// lets the guard end with it, and then the guard logs it, so that no failure passes unseen and
// a failing repaint logs once, not once a step.
class StepGuard {
public:
    // where names the repaint or handler in the log line.
    explicit StepGuard(const char *where) : m_where(where) {}
    ~StepGuard();
    StepGuard(const StepGuard &) = delete;
    StepGuard &operator=(const StepGuard &) = delete;

    // Runs step; true when it ran to its end.
    template <typename Step>
    bool run(Step &&step)
    {
        try {
            step();
            return true;
        } catch (const RuntimeError &error) {
            keep(error);
            return false;
        }
    }

    // Keeps error when it is the first failure.
    void keep(const RuntimeError &error);
    bool failed() const { return m_first.has_value(); }

    // Hands the first failure on: the guard no longer logs it.
    std::optional<RuntimeError> takeFirst();
    // Throws the first failure, if any, as the caller's own.
    void rethrowFirst();

private:
    const char *m_where;
    std::optional<RuntimeError> m_first;
};
