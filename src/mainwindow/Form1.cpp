#include "mainwindow/Form1.h"

#include "controls/button/TavloClick.h"
#include "common/MessageBoxes.h"
#include "mainwindow/FormatBox.h"
#include "mainwindow/OptionsPanel.h"
#include "mainwindow/PanelArea.h"
#include "mainwindow/PreviewPanel.h"
#include "mainwindow/QueuePanel.h"
#include "mainwindow/RunController.h"
#include "mainwindow/FolderSources.h"
#include "mainwindow/SourcePicker.h"
#include "mainwindow/WatchControl.h"
#include "mainwindow/StoredForm.h"
#include "mainwindow/WindowAccess.h"
#include "mainwindow/WindowHelpers.h"
#include "mainwindow/WindowQueue.h"
#include "update/ShellOpen.h"
#include "update/UpdateTimers.h"
#include "update/WebAddresses.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

namespace {

constexpr const char *FormResource = ":/forms/Form1.json";

} // namespace

struct Form1::FittedForm {
    StoredForm form;
    double factor = 1;
};

Form1::FittedForm Form1::fittedForm()
{
    QString error;
    std::optional<StoredForm> form = StoredForm::load(QLatin1String(FormResource), &error);
    if (!form)
        qFatal("The window's stored form is damaged: %s", qPrintable(error));
    const double factor = fitFactor(form->clientSize);
    return {factor < 1 ? form->scaled(factor) : *form, factor};
}

Form1::Form1(QWidget *parent)
    : Form1(fittedForm(), parent)
{
}

Form1::Form1(const FittedForm &fitted, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_controls(*this, fitted.form)
{
    const StoredForm &form = fitted.form;
    setWindowTitle(form.caption);
    setFixedSize(form.clientSize);
    m_background = form.picture.image();
    if (fitted.factor < 1) {
        m_background = m_background.scaled(form.clientSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // Opened where all of it shows, not at a place that may push it over the screen's edge.
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        move(available.topLeft() + QPoint((available.width() - width()) / 2, (available.height() - height()) / 2));
        // The format box keeps the application's font, which the stored form cannot scale.
        QFont font = m_controls.cboFormat->font();
        font.setPointSizeF(font.pointSizeF() * fitted.factor);
        m_controls.cboFormat->setFont(font);
    }
    setAcceptDrops(true);
    SetIcon(this, QStringLiteral("AAA"), true);

    m_formHeight = form.clientSize.height();
    m_queue = new WindowQueue(this);
    // Below the form, open while the window holds a source.
    m_panels = new PanelArea(this);
    m_panels->hide();
    m_queuePanel = new QueuePanel(*m_queue);
    m_panels->addPage(m_queuePanel, QStringLiteral("&Queue"));
    m_options = new OptionsPanel;
    m_panels->addPage(m_options, QStringLiteral("&Options"));
    m_previewPanel = new PreviewPanel;
    m_panels->addPage(m_previewPanel, QStringLiteral("Pre&view"));
    m_run = new RunController(*this, m_controls, *m_queue);
    m_run->setRefusal([this] { return refuseOptions(); });
    m_picker = new SourcePicker(*this, m_controls, *m_queue);
    m_watch = new WatchControl(*this, *m_queue, [this] { return m_controls.cboFormat->currentText(); });
    m_queuePanel->addControl(m_watch->button(m_queuePanel), m_watch->line(m_queuePanel));
    m_timers = new UpdateTimers(this);
    setUpWindowAccess(*this);
    wire();
    showPanels();
}

Form1::~Form1()
{
    // The closing window takes the focus from the source field, whose editingFinished would
    // otherwise reach a window that is no longer there.
    disconnect(m_controls.txtSource, nullptr, this, nullptr);
}

void Form1::wire()
{
    const std::pair<TavloClick *, void (Form1::*)()> clicks[] = {
        {m_controls.cmdSource, &Form1::cmdSource_Click}, {m_controls.cmdDest, &Form1::cmdDest_Click},
        {m_controls.cmdConvert, &Form1::cmdConvert_Click}, {m_controls.cmdPause, &Form1::cmdPause_Click},
        {m_controls.cmdLogo, &Form1::cmdLogo_Click}, {m_controls.cmdMin, &Form1::cmdMin_Click},
        {m_controls.cmdClose, &Form1::cmdClose_Click},
    };
    for (const auto &[button, click] : clicks)
        connect(button, &TavloClick::Click, this, click);
    // A chosen item and typed text both run the destination update.
    connect(m_controls.cboFormat, &QComboBox::currentTextChanged, this, &Form1::cboFormat_Click);
    connect(m_controls.txtSource, &QLineEdit::editingFinished, this, &Form1::txtSource_EditingFinished);
    connect(m_run, &RunController::queueShown, this, &Form1::showPanels);
    // A file named in the field is in hand once it is there, typed or chosen.
    connect(m_controls.txtSource, &QLineEdit::textChanged, this, &Form1::showPanels);
    connect(m_options, &OptionsPanel::optionsChanged, this, [this] { m_queue->setOptions(m_options->options()); });
    connect(m_queue, &WindowQueue::optionsRecovered, this, [this](const ConversionOptions &options) {
        m_options->setOptions(options);
        m_queue->setOptions(options);
        m_previewPanel->setOptions(options);
    });
    // A change made while a run went reaches the files left waiting once it has ended.
    connect(m_queue, &WindowQueue::finished, this, [this] { m_queue->setOptions(m_options->options()); });
    // The preview follows the files in hand, the preset and the options; its times become the
    // options' part, and its target the conversions'.
    connect(m_controls.cboFormat, &QComboBox::currentTextChanged, m_previewPanel, &PreviewPanel::setPreset);
    connect(m_options, &OptionsPanel::optionsChanged, this, [this] { m_previewPanel->setOptions(m_options->options()); });
    connect(m_previewPanel, &PreviewPanel::startChosen, m_options, &OptionsPanel::setStart);
    connect(m_previewPanel, &PreviewPanel::endChosen, m_options, &OptionsPanel::setEnd);
    connect(m_previewPanel, &PreviewPanel::targetChanged, this, [this] { m_queue->setTarget(m_previewPanel->target()); });
    connect(m_queue, &WindowQueue::finished, this, [this] { m_queue->setTarget(m_previewPanel->target()); });
    // Esc asks to stop a running conversion, wherever the focus is in the window.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &Form1::askToStopConversion);
    // A folder's media files into the queue.
    auto *openFolder = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), this);
    connect(openFolder, &QShortcut::activated, this, [this] { m_picker->folders().browse(m_controls.cboFormat->currentText()); });
    // The watch's controls are in the panel, which stays open while it watches.
    auto *watchFolder = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W), this);
    connect(watchFolder, &QShortcut::activated, this, [this] { m_watch->watching() ? m_watch->stop() : void(m_watch->start()); });
    connect(m_watch, &WatchControl::watchingChanged, this, &Form1::showPanels);
    // Pause's caption is drawn as it stands, so its access key is the window's own.
    for (const QKeySequence &key : {QKeySequence(Qt::Key_Pause), QKeySequence(Qt::ALT | Qt::Key_P)}) {
        auto *shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, &Form1::cmdPause_Click);
    }
}

QComboBox *Form1::cboFormat() const { return m_controls.cboFormat; }

bool Form1::converting() const { return m_queue->runner().running(); }

ConversionRun *Form1::run() const { return m_queue->runner().runOf(0); }

QTimer &Form1::tmrCheck() { return m_timers->tmrCheck(); }

QTimer &Form1::tmrAutoUpdate() { return m_timers->tmrAutoUpdate(); }

QString Form1::SourceExtension() const { return m_picker->sourceExtension(); }

QString Form1::videosFolder() { return SourcePicker::videosFolder(); }

void Form1::useSource(const QString &path) { m_picker->useSource(path); }

void Form1::useSources(const QStringList &paths) { m_picker->useSources(paths); }

void Form1::askToStopConversion() { m_run->askToStop(); }

void Form1::stopAndClose() { m_run->stopAndClose(); }

void Form1::suspendEncoders(bool suspend) { m_run->suspend(suspend); }

void Form1::cboFormat_Click() { m_picker->formatChanged(); }

void Form1::txtSource_EditingFinished() { m_picker->sourceEdited(); }

void Form1::cmdSource_Click() { m_picker->browseSource(); }

void Form1::cmdDest_Click() { m_picker->browseDestination(); }

void Form1::cmdConvert_Click() { m_run->convert(); }

bool Form1::refuseOptions()
{
    // Without a source the panel is closed: Convert asks for a file first.
    if (m_panels->isHidden())
        return false;
    if (const QString problem = m_options->problem(); !problem.isEmpty()) {
        m_panels->showPage(m_options);
        MessageBoxes::show(QStringLiteral("The options cannot be used: ") + problem, MessageBoxes::Exclamation);
        m_options->focusProblem();
        return true;
    }
    // A size or a quality typed but not understood is not silently left out.
    if (const QString problem = m_previewPanel->targetProblem(); !problem.isEmpty()) {
        m_panels->showPage(m_previewPanel);
        MessageBoxes::show(QStringLiteral("The target cannot be used: ") + problem, MessageBoxes::Exclamation);
        m_previewPanel->focusTarget();
        return true;
    }
    return false;
}

void Form1::cmdPause_Click() { m_run->togglePause(); }

void Form1::cmdLogo_Click() { ShellOpen(WebAddresses::homePage()); }

void Form1::cmdMin_Click() { showMinimized(); }

void Form1::cmdClose_Click() { close(); }

double Form1::fitFactor(QSize size)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || size.isEmpty())
        return 1;
    const QRect available = screen->availableGeometry();
    // Room is kept below the form for the panel area at its least.
    return std::min({1.0, double(available.width()) / size.width(),
                     double(available.height() - PanelArea::LeastHeight) / size.height()});
}

void Form1::showPanels()
{
    const bool queue = m_queue->holdsQueue() || m_watch->watching();
    QStringList sources;
    if (m_queue->holdsQueue()) {
        for (const QueueItem &item : m_queue->list().items()) {
            if (!sources.contains(item.source))
                sources << item.source;
        }
    } else if (const QString field = m_controls.txtSource->text(); !field.isEmpty() && QFileInfo(field).isFile()) {
        sources << field;
    }
    m_options->setSources(sources);
    m_previewPanel->setSources(sources);
    const bool queueWasThere = m_panels->isPageVisible(m_queuePanel);
    m_panels->setPageVisible(m_queuePanel, queue);
    // A queue that appears is what the user looks for.
    if (queue && !queueWasThere)
        m_panels->showPage(m_queuePanel);
    fitPanels(queue || !sources.isEmpty());
}

void Form1::fitPanels(bool shown)
{
    if (!m_panels->isHidden() == shown)
        return;
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, width(), m_formHeight + PanelArea::PreferredHeight);
    // As tall as it asks where the screen has room, else what is left there; its pages scroll.
    const int panel = shown ? std::clamp(available.height() - m_formHeight, PanelArea::LeastHeight, PanelArea::PreferredHeight) : 0;
    m_panels->setGeometry(0, m_formHeight, width(), panel);
    m_panels->setVisible(shown);
    setFixedSize(width(), m_formHeight + panel);
    // The window grows downwards; where that passes the screen's foot it moves up.
    if (shown && y() + height() > available.bottom() + 1)
        move(x(), std::max(available.top(), available.bottom() + 1 - height()));
}

// The preset is selected when the window first shows or becomes active; coming back from a
// dialog or another program keeps the user's choice.
void Form1::Form_Activate()
{
    if (m_activated)
        return;
    m_activated = true;
    // The index, not the text: the list then opens on the preset the box shows.
    m_controls.cboFormat->setCurrentIndex(m_controls.cboFormat->findText(QLatin1String(DefaultPreset)));
    cboFormat_Click();
}

void Form1::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_background.isNull())
        painter.fillRect(rect(), QColor(24, 24, 28));
    else // the form's own size: the panel area below it paints itself
        painter.drawImage(0, 0, m_background);
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Form_Activate();
    // Once the window is up: a queue a previous run left unfinished is offered.
    QMetaObject::invokeMethod(m_queue, &WindowQueue::offerRecovery, Qt::QueuedConnection);
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

// Any button on the background drags the window, as its caption would.
void Form1::mousePressEvent(QMouseEvent *event)
{
    if (QWindow *window = windowHandle())
        window->startSystemMove();
    event->accept();
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (!m_run->mayClose()) {
        event->ignore();
        return;
    }
    if (!m_run->closedBySignal())
        m_queue->closeNormally();
    QWidget::closeEvent(event);
    QCoreApplication::quit();
}

void Form1::dragEnterEvent(QDragEnterEvent *event) { m_picker->dragEnter(event); }

void Form1::dropEvent(QDropEvent *event) { m_picker->drop(event); }
