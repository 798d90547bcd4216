#include "common/StepGuard.h"

#include <QtGlobal>

StepGuard::~StepGuard()
{
    if (m_first)
        qWarning("%s: %s (%d)", m_where, m_first->what(), m_first->code());
}

void StepGuard::rethrowFirst()
{
    if (!m_first)
        return;
    const RuntimeError first = *m_first;
    m_first.reset();
    throw first;
}
