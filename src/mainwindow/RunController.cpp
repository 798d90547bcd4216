#include "mainwindow/RunController.h"

#include "common/MessageBoxes.h"
#include "common/StepGuard.h"
#include "controls/button/TavloClick.h"
#include "controls/progressbar/TavloProBar.h"
#include "mainwindow/Announcer.h"
#include "mainwindow/DesktopNotifier.h"
#include "mainwindow/DestinationFolder.h"
#include "mainwindow/FormControls.h"
#include "mainwindow/FormatBox.h"
#include "mainwindow/MessageBoxPresenter.h"
#include "mainwindow/RunChecks.h"
#include "mainwindow/WindowQueue.h"
#include "workflow/ClockText.h"
#include "workflow/DestinationName.h"
#include "workflow/Presets.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>

#include <utility>

namespace {

constexpr const char *ConvertingCaption = "Converting Video File. Please wait...";
const QString Finished = QStringLiteral("Conversion Finished !");
const QString Failed = QStringLiteral("Conversion Failed !");
const QString Cancelled = QStringLiteral("Conversion Cancelled !");

// Each setting is a removal and an insertion a screen reader may read out: only a change is set.
void setTextIfChanged(QLineEdit *field, const QString &text)
{
    if (field->text() != text)
        field->setText(text);
}

} // namespace

RunController::RunController(QWidget &window, FormControls &controls, WindowQueue &queue)
    : QObject(&window), m_window(window), m_controls(controls), m_queue(queue), m_look(controls)
    , m_announcer(new Announcer(&window))
{
    connect(&m_queue, &WindowQueue::changed, this, &RunController::refresh);
    connect(&m_queue, &WindowQueue::finished, this, &RunController::runEnded);
    // A message about the file in the fields is about its end: the question about stopping it
    // goes first.
    connect(&m_queue.runner(), &QueueRunner::message, this, [this] {
        if (m_queue.isSingle())
            MessageBoxPresenter::dismissQuestions();
    });
    // Nothing has run yet: the bar shows no figure.
    showIdleBar(QString());
}

void RunController::convert()
{
    // A Convert during a conversion asks to stop it; it never starts another nor resets the bar.
    if (m_queue.runner().running()) {
        askToStop();
        return;
    }
    if (m_refuses && m_refuses()) {
        showIdleBar(QString());
        return;
    }
    if (!m_queue.holdsQueue()) {
        convertFields();
        return;
    }
    // Every item may have ended before convert() returns; then the end has been shown.
    if (m_queue.convert() && m_queue.runner().running()) {
        StepGuard("progress bar").run([this] { m_controls.proBar->setShowValue(true); });
        m_look.show(true);
        refresh();
    }
}

void RunController::convertFields()
{
    const QString source = m_controls.txtSource->text();
    if (source.isEmpty()) {
        MessageBoxes::show(QStringLiteral("Select a video file to convert"), MessageBoxes::Information,
                           QStringLiteral("Select File"));
        showIdleBar(QString());
        return;
    }
    const QString preset = m_controls.cboFormat->currentText();
    const QString destination = m_controls.txtDest->text();
    if (const QString refusal = refusalBeforeRun(source, preset, destination); !refusal.isEmpty()) {
        MessageBoxes::show(refusal, MessageBoxes::Critical);
        showIdleBar(QString());
        return;
    }
    // Said before anything runs, rather than as the encoder's failure at its end.
    if (Presets::find(preset) && !destination.isEmpty()) {
        if (const QString problem = prepareDestinationFolder(destination); !problem.isEmpty()) {
            MessageBoxes::show(problem, MessageBoxes::Critical);
            showIdleBar(QString());
            return;
        }
        // The derived name can be an unrelated file of the user's (an older video of the same name).
        if (replacesAnotherFile(source, destination)) {
            const QString question = QFileInfo(destination).fileName() + QLatin1String(" already exists. Replace it?");
            if (MessageBoxes::show(question, MessageBoxes::YesNoQuestion + MessageBoxes::DefaultButton2) != MessageBoxes::Yes)
                return;
        }
    }
    // A start that is refused has been told, and its end shown, when this returns.
    if (!m_queue.convertOne(preset, source, destination)) {
        showIdleBar(QString());
        return;
    }
    showBar(0, QLatin1String(ConvertingCaption));
    StepGuard("progress bar").run([this] { m_controls.proBar->setShowValue(true); });
    m_look.show(true);
    showPause();
}

void RunController::askToStop()
{
    QueueRunner &runner = m_queue.runner();
    if (!runner.running() || runner.stopping())
        return;
    const int answer = MessageBoxes::show(QStringLiteral("A conversion is running. Stop it?"), MessageBoxes::YesNoQuestion);
    // A run that ended while the question was open stays as it ended.
    if (answer == MessageBoxes::Yes)
        runner.stop();
}

void RunController::togglePause()
{
    QueueRunner &runner = m_queue.runner();
    if (runner.pause())
        m_announcer->announce(QStringLiteral("Paused"));
    else if (runner.resume())
        m_announcer->announce(QStringLiteral("Resumed"));
    refresh();
}

void RunController::suspend(bool suspend)
{
    QueueRunner &runner = m_queue.runner();
    if (suspend)
        m_suspendedBySignal = runner.pause();
    else if (std::exchange(m_suspendedBySignal, false))
        runner.resume();
    refresh();
}

void RunController::stopAndClose()
{
    m_closeWhenStopped = true;
    m_closedBySignal = true;
    m_window.close();
}

// Closing ends the program, but never leaves a conversion running unseen nor kills it unasked:
// the user decides, and the window closes once the encoder has cleaned up.
bool RunController::mayClose()
{
    QueueRunner &runner = m_queue.runner();
    if (!runner.running())
        return true;
    if (!m_closeWhenStopped) {
        const int answer = MessageBoxes::show(QStringLiteral("A conversion is running. Stop it and close?"),
                                              MessageBoxes::YesNoQuestion);
        if (answer != MessageBoxes::Yes)
            return false;
        m_closeWhenStopped = true;
    }
    // It may have ended while the question was open; then the window closes now.
    if (!runner.running())
        return true;
    runner.stop();
    return false;
}

void RunController::closeIfAsked()
{
    if (m_closeWhenStopped)
        m_window.close();
}

void RunController::refresh()
{
    const bool open = m_queue.holdsQueue();
    emit queueShown(open);
    const QueueRunner &runner = m_queue.runner();
    // A file chosen during a run would change the fields the run was started from.
    enableBrowsing(!runner.running());
    // Several files cannot be typed over, and nothing is while a conversion runs.
    m_controls.txtSource->setReadOnly(open || runner.running());
    m_controls.txtDest->setReadOnly(open || runner.running());
    if (open) {
        setTextIfChanged(m_controls.txtSource, m_queue.sourceSummary());
        setTextIfChanged(m_controls.txtDest, m_queue.destinationSummary());
    }
    if (runner.running() && !runner.stopping()) {
        QString caption = m_queue.caption();
        if (m_queue.isSingle() && !runner.paused()) {
            caption = QLatin1String(ConvertingCaption);
            if (const std::optional<qint64> left = runner.currentTimeLeftMs())
                caption += QLatin1Char(' ') + clockText(*left) + QLatin1String(" left");
        }
        showBar(runner.currentPercent(), caption);
        if (!m_queue.isSingle() && !runner.paused()) {
            const QString step = caption.section(QStringLiteral(" · "), 0, 0);
            if (step != std::exchange(m_announcedStep, step))
                m_announcer->announce(step);
        }
    } else {
        m_announcedStep.clear();
    }
    showPause();
}

void RunController::enableBrowsing(bool enabled)
{
    for (TavloClick *browse : {m_controls.cmdSource, m_controls.cmdDest}) {
        if (browse->Enabled() != enabled)
            StepGuard("Enabled").run([&] { browse->setEnabled(enabled); });
    }
}

void RunController::runEnded()
{
    m_look.show(false);
    MessageBoxPresenter::dismissQuestions();
    if (m_queue.isSingle())
        singleEnded();
    else
        queueEnded();
    showPause();
    closeIfAsked();
}

void RunController::singleEnded()
{
    const QueueRunner::Ending ending = m_queue.runner().lastEnding();
    m_queue.endSingle();
    switch (ending.state) {
    case QueueItem::State::Done:
        QApplication::beep();
        // A result that is shorter than its source says so beside the usual words.
        StepGuard("progress bar").run([&] { m_controls.proBar->setProValue(100); });
        showBar(100, ending.warning.isEmpty() ? Finished : Finished + QLatin1String(" (") + ending.warning + QLatin1Char(')'));
        m_announcer->announce(m_controls.proBar->Caption() + QLatin1Char(' ') + QFileInfo(m_controls.txtDest->text()).fileName());
        notifyIfUnwatched(Finished, ending.warning.isEmpty() ? m_controls.txtDest->text()
                                                             : m_controls.txtDest->text() + QLatin1Char('\n') + ending.warning);
        break;
    case QueueItem::State::Failed:
        // A source that cannot be used was said in a box of its own; nothing was converted.
        if (ending.refused) {
            showIdleBar(QString());
            break;
        }
        showIdleBar(Failed);
        m_announcer->announce(Failed);
        notifyIfUnwatched(Failed, m_controls.txtSource->text());
        break;
    default:
        showIdleBar(Cancelled);
        m_announcer->announce(Cancelled);
        break;
    }
}

// One notification for the whole queue and, only when something failed, one box that says what.
void RunController::queueEnded()
{
    // The queue's fields stay read-only while it is open.
    refresh();
    const QueueRunner::Summary &summary = m_queue.runner().summary();
    const QString text = QueueRunner::summaryText(summary);
    if (summary.failed == 0 && summary.cancelled == 0) {
        QApplication::beep();
        showBar(100, Finished);
        m_announcer->announce(Finished + QLatin1Char(' ') + text);
        notifyIfUnwatched(Finished, text);
    } else if (summary.failed == 0) {
        showIdleBar(Cancelled);
        m_announcer->announce(Cancelled + QLatin1Char(' ') + text);
    } else {
        showIdleBar(Failed);
        m_announcer->announce(Failed + QLatin1Char(' ') + text);
        notifyIfUnwatched(Failed, text);
        MessageBoxes::show(text, MessageBoxes::Exclamation);
    }
}

void RunController::showPause()
{
    const QueueRunner &runner = m_queue.runner();
    TavloClick *pause = m_controls.cmdPause;
    // A button that goes while it has the focus would hand it to the next one, Minimise, where
    // the next Space would hide the window: Convert, back to its own face, takes it.
    if (!runner.running() && pause->hasFocus())
        m_controls.cmdConvert->setFocus(Qt::OtherFocusReason);
    pause->setVisible(runner.running());
    const bool paused = runner.paused();
    const QString caption = paused ? QStringLiteral("Resume") : QStringLiteral("Pause");
    // Each setting repaints the button or is an event a screen reader reads: only a change is set.
    if (pause->accessibleName() != caption) {
        // Its faces carry the word, drawn as Browse's are.
        const QString face = QStringLiteral(":/art/%1-%2.png").arg(paused ? QLatin1String("resume") : QLatin1String("pause"));
        const int32_t shown = pause->runtime().LastState;
        StepGuard("Pause's face").run([&] {
            pause->setPicNormal(Picture::fromPath(face.arg(QLatin1String("normal"))));
            pause->setPicOver(Picture::fromPath(face.arg(QLatin1String("over"))));
            pause->setPicDown(Picture::fromPath(face.arg(QLatin1String("down"))));
            pause->Redraw(shown);
        });
        pause->setAccessibleName(caption);
        // The tip is what screen readers give as its description.
        pause->setToolTip(paused ? QStringLiteral("Resume the conversion (Alt+P or Pause)")
                                 : QStringLiteral("Pause the conversion (Alt+P or Pause)"));
    }
}

void RunController::showBar(int percent, const QString &caption)
{
    TavloProBar *bar = m_controls.proBar;
    StepGuard("progress bar").run([&] {
        if (bar->ProValue().toInt() != percent)
            bar->setProValue(percent);
        if (bar->Caption() != caption)
            bar->setCaption(caption);
    });
}

void RunController::showIdleBar(const QString &caption)
{
    TavloProBar *bar = m_controls.proBar;
    StepGuard("progress bar").run([&] {
        bar->setProValue(0);
        bar->setCaption(caption);
        bar->setShowValue(false);
    });
}

void RunController::notifyIfUnwatched(const QString &summary, const QString &body)
{
    if (!m_window.isActiveWindow())
        DesktopNotifier::notify(summary, body);
}
