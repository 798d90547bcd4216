#pragma once

#include <QList>
#include <QObject>
#include <QThread>

#include <functional>
#include <memory>

// Runs a piece of work (a tool reading a file) on a thread of its own so that the window never
// waits for it; the result reaches the owner on the owner's thread. When the owner goes, its
// destructor waits for what still runs (each tool run is bounded in time) and no result arrives.
class AsideWork : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(AsideWork)

public:
    explicit AsideWork(QObject *owner) : QObject(owner) {}
    ~AsideWork() override;

    template <typename T>
    void run(std::function<T()> work, std::function<void(T)> done)
    {
        auto result = std::make_shared<T>();
        QThread *thread = QThread::create([result, work = std::move(work)] { *result = work(); });
        connect(thread, &QThread::finished, this, [this, thread, result, done = std::move(done)] {
            forget(thread);
            done(std::move(*result));
        });
        m_threads << thread;
        thread->start();
    }

    // Whether any work still runs.
    bool busy() const { return !m_threads.isEmpty(); }

private:
    void forget(QThread *thread);

    QList<QThread *> m_threads;
};
