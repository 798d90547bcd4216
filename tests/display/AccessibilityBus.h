#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>

// A session bus of the test's own with the accessibility bus launched on it, as a desktop with a
// screen reader has them; programs and AT-SPI clients given address() meet there and nowhere else.
class AccessibilityBus {
public:
    explicit AccessibilityBus(const QString &display);
    ~AccessibilityBus();
    Q_DISABLE_COPY(AccessibilityBus)

    // The session bus address; empty when the buses could not start (see error()).
    QString address() const { return m_address; }
    QString error() const { return m_error; }

    // Runs access-probe.py against the program of that name on the display, as a screen reader
    // reads it: its output, or nothing with *failure set.
    std::optional<QString> probe(const QString &display, const QStringList &arguments, QString *failure,
                                 int milliseconds = 30000) const;

private:
    QProcess m_session;
    QProcess m_launcher;
    QString m_address;
    QString m_error;
};
