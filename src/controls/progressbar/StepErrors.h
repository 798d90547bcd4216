#pragma once

#include "common/RuntimeError.h"

#include <optional>

// Runs drawing steps so that a failing step leaves the surfaces as they are and the routine
// goes on; the first error is kept for the caller of the whole redraw.
class StepErrors {
public:
    template <typename Step>
    void run(Step &&step)
    {
        try {
            step();
        } catch (const RuntimeError &error) {
            keep(error);
        }
    }
    void keep(const RuntimeError &error)
    {
        if (!m_first)
            m_first = error;
    }
    const std::optional<RuntimeError> &first() const { return m_first; }
    void rethrow() const
    {
        if (m_first)
            throw *m_first;
    }

private:
    std::optional<RuntimeError> m_first;
};
