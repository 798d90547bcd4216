#pragma once

#include "common/RuntimeError.h"

#include <optional>

// Runs the steps of one repaint or one handler so that a step that fails with a RuntimeError
// ends alone: what it drew or changed so far stays, and the next step still runs. The first
// failure is kept. The owner either hands it on to its own caller (rethrowFirst) or lets the
// guard end with it, and then the guard logs it: no failure passes unseen, and a failing
// repaint logs once, not once a step.
class StepGuard {
public:
    // where names the repaint or handler in the log line.
    explicit StepGuard(const char *where) : m_where(where) {}
    ~StepGuard();
    StepGuard(const StepGuard &) = delete;
    StepGuard &operator=(const StepGuard &) = delete;

    template <typename Step>
    void run(Step &&step)
    {
        try {
            step();
        } catch (const RuntimeError &error) {
            if (!m_first)
                m_first = error;
        }
    }

    // Throws the first failure, if any, as the caller's own; the guard then logs nothing.
    void rethrowFirst();

private:
    const char *m_where;
    std::optional<RuntimeError> m_first;
};
