#pragma once

#include "update/WebNavigator.h"

#include <QObject>

// The hidden update window: hosts the browser ZorvikServer that asks the update endpoint, and
// reads the answer from the address the browser arrives at. Created by the first update query,
// it lives until the program ends.
class UpdateWindow : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(UpdateWindow)

public:
    explicit UpdateWindow(QObject *parent = nullptr);

    WebNavigator *ZorvikServer() const { return m_server; }

    // When set, a negative answer is announced too; every answer clears it.
    bool ReportUpToDate() const { return m_reportUpToDate; }
    void setReportUpToDate(bool on) { m_reportUpToDate = on; }

    void UpdateMe(bool available);

signals:
    // An answer was handled (for tests and logs).
    void answered(bool available);

private:
    void ZorvikServer_NavigateComplete(const QUrl &URL);

    WebNavigator *m_server = nullptr;
    bool m_reportUpToDate = false;
};

// The timed update query: creates the update window on first use and navigates it.
void runUpdateQuery(UpdateWindow *&window, QObject *owner);
