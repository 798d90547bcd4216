#pragma once

#include <QObject>
#include <QTimer>

class UpdateWindow;

// The window's two errands to the maker's site: the product page on the first start (a second
// after the window opens) and the update query (30 seconds after). Each runs once.
class UpdateTimers : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(UpdateTimers)

public:
    explicit UpdateTimers(QObject *owner);

    QTimer &tmrCheck() { return m_tmrCheck; }
    QTimer &tmrAutoUpdate() { return m_tmrAutoUpdate; }

    void tmrCheck_Timer();
    void tmrAutoUpdate_Timer();

private:
    QTimer m_tmrCheck;
    QTimer m_tmrAutoUpdate;
    UpdateWindow *m_updateWindow = nullptr;
};
