#include "update/UpdateTimers.h"

#include "update/FirstRun.h"
#include "update/UpdateWindow.h"

UpdateTimers::UpdateTimers(QObject *owner)
    : QObject(owner)
{
    m_tmrCheck.setInterval(1000);
    m_tmrAutoUpdate.setInterval(30000);
    connect(&m_tmrCheck, &QTimer::timeout, this, &UpdateTimers::tmrCheck_Timer);
    connect(&m_tmrAutoUpdate, &QTimer::timeout, this, &UpdateTimers::tmrAutoUpdate_Timer);
    m_tmrCheck.start();
    m_tmrAutoUpdate.start();
}

void UpdateTimers::tmrCheck_Timer()
{
    m_tmrCheck.stop();
    showFirstRunPage();
}

void UpdateTimers::tmrAutoUpdate_Timer()
{
    m_tmrAutoUpdate.stop();
    runUpdateQuery(m_updateWindow, parent());
}
