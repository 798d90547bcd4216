#pragma once

#include "BoxRecorder.h"
#include "common/MessageBoxes.h"
#include "mainwindow/DesktopNotifier.h"
#include "mainwindow/WindowHelpers.h"

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

#include <functional>

// Answers the window's message boxes and dialogs, and records them.
class Desk : public QObject {
    Q_OBJECT
public:
    Desk()
    {
        m_dialogs = FileDialogs::install([this](const FileDialogs::Request &request) {
            dialogs << request;
            return dialogAnswer;
        });
        m_notifier = DesktopNotifier::install([this](const QString &summary, const QString &) { notes << summary; });
        for (const char *scheme : {"http", "https"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
    }
    ~Desk() override
    {
        FileDialogs::install(m_dialogs);
        DesktopNotifier::install(m_notifier);
        for (const char *scheme : {"http", "https"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }

private:
    BoxRecorder m_recorder;

public:
    QStringList &boxes = m_recorder.boxes;
    std::function<int()> &answer = m_recorder.answer; // the answer to every box; OK when unset
    QList<FileDialogs::Request> dialogs;
    QString dialogAnswer;
    QStringList notes;
    QStringList opened;

public slots:
    void open(const QUrl &url) { opened << url.toString(); }

private:
    FileDialogs::Handler m_dialogs;
    DesktopNotifier::Handler m_notifier;
};
