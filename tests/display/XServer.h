#pragma once

#include <QProcess>
#include <QString>

// A private X server (Xvfb) on a display number it picks itself among the free ones. It stays up
// when its last client leaves, so one server serves every program a suite starts.
class XServer {
public:
    // screen: "<width>x<height>x<depth>".
    explicit XServer(const QString &screen = QStringLiteral("1024x768x24"));
    ~XServer();
    Q_DISABLE_COPY(XServer)

    // ":N" once the server accepts clients; empty when it could not start (see error()).
    QString display() const { return m_display; }
    QString error() const { return m_error; }

private:
    QProcess m_process;
    QString m_display;
    QString m_error;
};
