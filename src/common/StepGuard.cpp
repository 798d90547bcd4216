#include "common/StepGuard.h"

#include <QtGlobal>

StepGuard::~StepGuard()
{
    if (m_first)
        qWarning("%s: %s (%d)", m_where, m_first->what(), m_first->code());
}

void StepGuard::keep(const RuntimeError &error)
{
    if (!m_first)
        m_first = error;
}

std::optional<RuntimeError> StepGuard::takeFirst()
{
    std::optional<RuntimeError> first;
    first.swap(m_first);
    return first;
}

void StepGuard::rethrowFirst()
{
    if (std::optional<RuntimeError> first = takeFirst())
        throw *first;
}
