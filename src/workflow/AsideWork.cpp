#include "workflow/AsideWork.h"

AsideWork::~AsideWork()
{
    for (QThread *thread : std::as_const(m_threads)) {
        thread->wait();
        delete thread;
    }
}

void AsideWork::forget(QThread *thread)
{
    m_threads.removeOne(thread);
    thread->deleteLater();
}
