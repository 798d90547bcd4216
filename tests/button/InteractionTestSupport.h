#pragma once

#include "controls/button/ButtonSounds.h"
#include "controls/button/TavloClick.h"

#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

namespace InteractionTest {

// Every one of the 13 events of a button, in the order raised, with its arguments:
// "MouseDown 1 0 10 12", "Click", "KeyPress 97", ...
class EventLog {
public:
    explicit EventLog(TavloClick &button)
    {
        const auto mouse = [this](const char *name) {
            return [this, name](qint16 b, qint16 s, float x, float y) {
                m_events << QStringLiteral("%1 %2 %3 %4 %5").arg(QLatin1String(name)).arg(b).arg(s)
                                .arg(double(x)).arg(double(y));
            };
        };
        const auto plain = [this](const char *name) {
            return [this, name] { m_events << QLatin1String(name); };
        };
        QObject::connect(&button, &TavloClick::Click, &button, plain("Click"));
        QObject::connect(&button, &TavloClick::DblClick, &button, plain("DblClick"));
        QObject::connect(&button, &TavloClick::KeyDown, &button, [this](qint16 k, qint16 s) {
            m_events << QStringLiteral("KeyDown %1 %2").arg(k).arg(s);
        });
        QObject::connect(&button, &TavloClick::KeyPress, &button, [this](qint16 k) {
            m_events << QStringLiteral("KeyPress %1").arg(k);
        });
        QObject::connect(&button, &TavloClick::KeyUp, &button, [this](qint16 k, qint16 s) {
            m_events << QStringLiteral("KeyUp %1 %2").arg(k).arg(s);
        });
        QObject::connect(&button, &TavloClick::MouseDown, &button, mouse("MouseDown"));
        QObject::connect(&button, &TavloClick::MouseMove, &button, mouse("MouseMove"));
        QObject::connect(&button, &TavloClick::MouseUp, &button, mouse("MouseUp"));
        QObject::connect(&button, &TavloClick::MouseIn, &button, plain("MouseIn"));
        QObject::connect(&button, &TavloClick::MouseOut, &button, plain("MouseOut"));
        QObject::connect(&button, &TavloClick::ArrowMouseDown, &button, plain("ArrowMouseDown"));
        QObject::connect(&button, &TavloClick::RightClick, &button, plain("RightClick"));
        QObject::connect(&button, &TavloClick::RightDblClick, &button, plain("RightDblClick"));
    }

    // The events so far, leaving out pointer moves.
    QStringList events() const
    {
        QStringList events;
        for (const QString &event : m_events) {
            if (!event.startsWith(QLatin1String("MouseMove")))
                events << event;
        }
        return events;
    }
    // The same, emptying the log.
    QStringList take()
    {
        const QStringList events = this->events();
        m_events.clear();
        return events;
    }

private:
    QStringList m_events;
};

// Decides what the hover watch sees under the pointer; the platform's answer comes back at the
// end of the test.
class PointerStub {
public:
    PointerStub()
    {
        TavloClick::setPointerQuery([this]() -> QWidget * { return m_under.data(); });
    }
    ~PointerStub() { TavloClick::setPointerQuery({}); }
    void setUnder(QWidget *widget) { m_under = widget; }

private:
    QPointer<QWidget> m_under;
};

// Records the sound files a button asks to play; built-in sounds go to a fresh "tmp" folder.
class SoundRecorder {
public:
    SoundRecorder()
    {
        m_oldTmp = qgetenv("tmp");
        qputenv("tmp", m_folder.path().toLocal8Bit());
        ButtonSounds::setPlayer([this](const QString &file) { m_played << file; });
    }
    ~SoundRecorder()
    {
        ButtonSounds::setPlayer({});
        qputenv("tmp", m_oldTmp);
    }
    QString folder() const { return m_folder.path(); }
    QString file(const QString &word) const { return ButtonSounds::builtInFileName(folder(), word); }
    QStringList take() { return std::exchange(m_played, {}); }

private:
    QTemporaryDir m_folder;
    QByteArray m_oldTmp;
    QStringList m_played;
};

inline QByteArray resourceBytes(int id)
{
    QFile file(QStringLiteral(":/CUSTOM/%1").arg(id));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QByteArray fileBytes(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A shown form holding one 80 × 33 button at (20, 20) with the pointer, as far as the hover
// watch can tell, resting on the button.
struct Host {
    Host()
    {
        form.resize(240, 120);
        button = new TavloClick(&form);
        button->setObjectName(QStringLiteral("cmdTest"));
        button->setGeometry(20, 20, 80, 33);
        pointer.setUnder(button);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qWarning("the form was not exposed");
    }
    // A press, or a release, at a point given in real numbers.
    void send(QEvent::Type type, QPointF at, Qt::MouseButton which, Qt::KeyboardModifiers modifiers = {})
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(which);
        QMouseEvent event(type, at, button->mapToGlobal(at), which, held, modifiers);
        QCoreApplication::sendEvent(button, &event);
    }

    PointerStub pointer;
    QWidget form;
    TavloClick *button = nullptr;
};

} // namespace InteractionTest
