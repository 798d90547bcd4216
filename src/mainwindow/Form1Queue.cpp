#include "mainwindow/Form1.h"

#include "common/MessageBoxes.h"
#include "common/StepGuard.h"
#include "controls/button/TavloClick.h"
#include "controls/progressbar/TavloProBar.h"
#include "mainwindow/FormatBox.h"
#include "mainwindow/QueuePanel.h"
#include "mainwindow/StoredForm.h"
#include "mainwindow/WindowQueue.h"
#include "workflow/Conversion.h"

#include <QApplication>
#include <QComboBox>
#include <QJsonObject>
#include <QShortcut>

#include <utility>

// Form1's part for several files: the queue below the form, Pause, and the queue's captions.

// The queue's pieces stand apart from the stored form: the panel opens below it when several
// files are chosen, and Pause sits beside Convert while something converts.
void Form1::createQueue(const StoredForm &form)
{
    m_queue = new WindowQueue(this);
    m_queuePanel = new QueuePanel(*m_queue, this);
    m_queuePanel->setGeometry(0, form.clientSize.height(), form.clientSize.width(), QueuePanel::PanelHeight);
    m_queuePanel->hide();
    connect(m_queue, &WindowQueue::changed, this, &Form1::showQueue);
    connect(m_queue, &WindowQueue::finished, this, &Form1::queueFinished);

    m_cmdPause = new TavloClick(this);
    m_cmdPause->setObjectName(QStringLiteral("cmdPause"));
    if (const StoredControl *browse = form.control(QStringLiteral("cmdDest"))) {
        // Made like the Browse buttons, with a drawn face in the window's greys instead of a picture.
        QJsonObject object = browse->properties.object();
        for (const char *key : {"CustomPic", "PicNormal", "PicOver", "PicDown"})
            object.remove(QLatin1String(key));
        object.insert(QStringLiteral("Caption"), QStringLiteral("Pause"));
        object.insert(QStringLiteral("ButtonColorNormal1"), 0x2A2520);
        object.insert(QStringLiteral("ButtonColorNormal2"), 0x4A443D);
        object.insert(QStringLiteral("ButtonColorOver1"), 0x3A342E);
        object.insert(QStringLiteral("ButtonColorOver2"), 0x6A6258);
        object.insert(QStringLiteral("BorderColor1"), 0x46423A);
        object.insert(QStringLiteral("BorderColor2"), 0x6A6258);
        StepGuard("ReadProperties").run([&] { m_cmdPause->ReadProperties(PropertyBag(object)); });
        // Between the two Browse buttons, beside the format box.
        m_cmdPause->setGeometry(browse->geometry.translated(0, -54));
    }
    m_cmdPause->setToolTip(QStringLiteral("Pause the conversion (Alt+P or Pause)"));
    m_cmdPause->setAccessibleName(QStringLiteral("Pause"));
    m_cmdPause->hide();
    connect(m_cmdPause, &TavloClick::Click, this, &Form1::cmdPause_Click);
    // The caption is drawn as it stands, so the access key is the window's own.
    for (const QKeySequence &key : {QKeySequence(Qt::Key_Pause), QKeySequence(Qt::ALT | Qt::Key_P)}) {
        auto *shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, &Form1::cmdPause_Click);
    }
}

bool Form1::queueMode() const
{
    return !m_queue->isEmpty();
}

bool Form1::anythingRunning() const
{
    return m_conversion->running() || m_queue->runner().running();
}

void Form1::useSources(const QStringList &paths)
{
    // A single conversion that runs keeps the fields it was started from.
    if (paths.isEmpty() || m_conversion->running())
        return;
    if (paths.size() == 1 && !m_queue->runner().running()) {
        // useSource closes a queue that stands idle.
        useSource(paths.first());
        return;
    }
    m_queue->addSources(paths, m_cboFormat->currentText(), !m_queue->runner().running());
}

void Form1::cmdPause_Click()
{
    if (m_queue->runner().running()) {
        if (!m_queue->runner().pause())
            m_queue->runner().resume();
        showQueue();
    } else if (m_conversion->running()) {
        if (m_conversion->paused())
            m_conversion->resume();
        else
            m_conversion->pause();
        showProgress(m_conversion->percent());
    }
    showPauseControl();
}

void Form1::showPauseControl()
{
    const bool paused = m_queue->runner().running() ? m_queue->runner().paused() : m_conversion->paused();
    m_cmdPause->setVisible(anythingRunning());
    const QString caption = paused ? QStringLiteral("Resume") : QStringLiteral("Pause");
    // Each setting repaints the button: only a change is set.
    if (m_cmdPause->Caption() != caption)
        StepGuard("Caption").run([&] { m_cmdPause->setCaption(caption); });
    m_cmdPause->setAccessibleName(caption);
}

// The queue's items, caption and progress, and the fields that name its files.
void Form1::showQueue()
{
    const bool open = queueMode();
    if (m_queuePanel->isVisible() != open) {
        m_queuePanel->setVisible(open);
        setFixedSize(width(), m_queuePanel->y() + (open ? QueuePanel::PanelHeight : 0));
    }
    // Several files cannot be typed over, and nothing is while a conversion runs.
    m_txtSource->setReadOnly(open || anythingRunning());
    m_txtDest->setReadOnly(open || anythingRunning());
    if (open) {
        m_txtSource->setText(m_queue->sourceSummary());
        m_txtDest->setText(m_queue->destinationSummary());
        m_queuePanel->refresh();
    }
    if (m_queue->runner().running() && !m_queue->runner().stopping()) {
        const int percent = m_queue->runner().currentPercent();
        const QString caption = m_queue->caption();
        StepGuard("progress bar").run([&] {
            if (m_proBar->ProValue().toInt() != percent)
                m_proBar->setProValue(percent);
            if (m_proBar->Caption() != caption)
                m_proBar->setCaption(caption);
        });
    }
    showPauseControl();
}

// One notification for the whole queue and, only when something failed, one box that says what.
void Form1::queueFinished()
{
    endRun();
    // The queue's fields stay read-only while it is open.
    showQueue();
    const QueueRunner::Summary &summary = m_queue->runner().summary();
    const QString text = QueueRunner::summaryText(summary);
    if (summary.failed == 0 && summary.cancelled == 0) {
        QApplication::beep();
        StepGuard("progress bar").run([this] {
            m_proBar->setProValue(100);
            m_proBar->setCaption(QStringLiteral("Conversion Finished !"));
        });
        notifyIfUnwatched(QStringLiteral("Conversion Finished !"), text);
    } else if (summary.failed == 0) {
        showIdleBar(QStringLiteral("Conversion Cancelled !"));
    } else {
        showIdleBar(QStringLiteral("Conversion Failed !"));
        notifyIfUnwatched(QStringLiteral("Conversion Failed !"), text);
        MessageBoxes::show(text, MessageBoxes::Exclamation);
    }
    showPauseControl();
    closeIfAsked();
}

void Form1::suspendEncoders(bool suspend)
{
    // What the user paused stays paused after the program is continued.
    if (suspend)
        m_suspendedBySignal = m_queue->runner().running() ? m_queue->runner().pause() : m_conversion->pause();
    else if (std::exchange(m_suspendedBySignal, false))
        m_queue->runner().running() ? m_queue->runner().resume() : m_conversion->resume();
    showPauseControl();
}
