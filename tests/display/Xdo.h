#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

#include <memory>

#include "RunProgram.h"

class XServer;

// Real input on one X display through xdotool (the XTEST extension: the program sees the events a
// pointer and a keyboard make), window look-ups by name, and screenshots through ImageMagick.
class Xdo {
public:
    // Screenshots go to the build's screenshots/display folder unless told otherwise.
    explicit Xdo(QString display, QString screenshotFolder = builtProgram(QStringLiteral("../screenshots/display")));

    // Visible windows whose name matches the pattern (a POSIX regular expression).
    QList<quint64> visibleWindows(const QString &namePattern) const;
    // The window's place on the screen; empty when it is gone.
    QRect geometry(quint64 window) const;
    // Moves the pointer onto the point (window coordinates).
    bool move(quint64 window, QPoint point) const;
    // Presses the button on the point of one window, moves the pointer in steps onto the point of
    // another, and releases it there: a drag and drop.
    bool drag(quint64 from, QPoint start, quint64 to, QPoint end) const;
    // Moves the pointer onto the point (window coordinates) and clicks there at once.
    bool click(quint64 window, QPoint point) const;
    // Gives the window the keyboard focus, as a window manager does on a click, then types keys
    // ("n", "Return").
    bool key(quint64 window, const QString &keys) const;
    // Gives the window the keyboard focus, then types the text character by character.
    bool type(quint64 window, const QString &text) const;
    // The whole screen, also saved as <screenshot folder>/<name>.png for review.
    QImage screenshot(const QString &name) const;

    // What the last failing command said.
    QString error() const { return m_error; }

private:
    bool run(const QStringList &command, QByteArray *output = nullptr) const;

    QString m_display;
    QString m_screenshots;
    mutable QString m_error;
};

// A private X server and real input on it: empty, or why there is none.
QString openDisplay(std::unique_ptr<XServer> &server, std::unique_ptr<Xdo> &xdo);
