#include "mainwindow/Form1.h"

#include "common/MessageBoxes.h"
#include "common/StepGuard.h"
#include "controls/button/TavloClick.h"
#include "controls/progressbar/TavloProBar.h"
#include "engine/AVC.h"
#include "engine/SameFile.h"
#include "workflow/ClockText.h"
#include "workflow/Conversion.h"
#include "workflow/ConversionRun.h"
#include "mainwindow/DesktopNotifier.h"
#include "mainwindow/DestinationFolder.h"
#include "mainwindow/FormatBox.h"
#include "mainwindow/MessageBoxPresenter.h"
#include "mainwindow/RunLook.h"
#include "mainwindow/WindowAccess.h"
#include "mainwindow/WindowQueue.h"
#include "workflow/DestinationName.h"
#include "workflow/Presets.h"
#include "mainwindow/StoredForm.h"
#include "mainwindow/WindowHelpers.h"
#include "update/FirstRun.h"
#include "update/ShellOpen.h"
#include "update/UpdateWindow.h"
#include "update/WebAddresses.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStandardPaths>
#include <QWindow>

#include <optional>

namespace {

constexpr const char *FormResource = ":/forms/Form1.json";
constexpr const char *ConvertingCaption = "Converting Video File. Please wait...";
// The Yes and No buttons (4) with the question icon.
constexpr int YesNoQuestion = 4 + MessageBoxes::Question;

// The text controls sit on dark beds in the artwork.
constexpr const char *TextControlStyle = R"(
QLineEdit {
    background: #0d0e10; color: #eceef1; border: 1px solid #3a3e46; border-radius: 3px;
    padding: 0 5px; selection-background-color: #ff8000; selection-color: #000000;
}
QLineEdit:focus { border-color: #ff8000; }
)";

QPalette darkPalette(QPalette palette)
{
    const QColor base(13, 14, 16), face(30, 32, 37), text(236, 238, 241);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::Window, face);
        palette.setColor(group, QPalette::Button, face);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::Highlight, QColor(255, 128, 0));
        palette.setColor(group, QPalette::HighlightedText, Qt::black);
    }
    return palette;
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    QString error;
    std::optional<StoredForm> form = StoredForm::load(QLatin1String(FormResource), &error);
    if (!form)
        qFatal("The window's stored form is damaged: %s", qPrintable(error));
    const double factor = fitFactor(form->clientSize);
    if (factor < 1)
        form = form->scaled(factor);
    setWindowTitle(form->caption);
    setFixedSize(form->clientSize);
    m_background = form->picture.image();
    if (factor < 1) {
        m_background = m_background.scaled(form->clientSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // Opened where all of it shows, not at a place that may push it over the screen's edge.
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        move(available.topLeft() + QPoint((available.width() - width()) / 2, (available.height() - height()) / 2));
    }
    setAcceptDrops(true);
    createControls(*form);
    if (factor < 1) {
        // The format box keeps the application's font, which the stored form cannot scale.
        QFont font = m_cboFormat->font();
        font.setPointSizeF(font.pointSizeF() * factor);
        m_cboFormat->setFont(font);
    }
    createQueue(*form);
    setUpWindowAccess(*this);
    // Pause sits beside Convert in the keyboard order too.
    setTabOrder(m_cmdConvert, m_cmdPause);
    m_runLook = std::make_unique<RunLook>(*this);
    // Nothing has run yet: the bar shows no figure.
    showIdleBar(QString());

    m_tmrCheck.setInterval(1000);
    m_tmrAutoUpdate.setInterval(30000);
    connect(&m_tmrCheck, &QTimer::timeout, this, &Form1::tmrCheck_Timer);
    connect(&m_tmrAutoUpdate, &QTimer::timeout, this, &Form1::tmrAutoUpdate_Timer);
    // Esc asks to stop a running conversion, wherever the focus is in the window.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &Form1::askToStopConversion);
    Form_Load();
    m_tmrCheck.start();
    m_tmrAutoUpdate.start();
}

Form1::~Form1()
{
    // The closing window takes the focus from the source field, whose editingFinished would
    // otherwise reach a window that is no longer there.
    disconnect(m_txtSource, nullptr, this, nullptr);
}

QComboBox *Form1::cboFormat() const { return m_cboFormat; }

double Form1::fitFactor(QSize size)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || size.isEmpty())
        return 1;
    const QRect available = screen->availableGeometry();
    return std::min({1.0, double(available.width()) / size.width(), double(available.height()) / size.height()});
}

void Form1::createControls(const StoredForm &form)
{
    // The window's buttons: where each is kept and what its Click runs.
    struct ButtonRole {
        const char *name;
        TavloClick *Form1::*member;
        void (Form1::*click)();
    };
    static const ButtonRole ButtonRoles[] = {
        {"cmdSource", &Form1::m_cmdSource, &Form1::cmdSource_Click},
        {"cmdDest", &Form1::m_cmdDest, &Form1::cmdDest_Click},
        {"cmdConvert", &Form1::m_cmdConvert, &Form1::cmdConvert_Click},
        {"cmdLogo", &Form1::m_cmdLogo, &Form1::cmdLogo_Click},
        {"cmdMin", &Form1::m_cmdMin, &Form1::cmdMin_Click},
        {"cmdClose", &Form1::m_cmdClose, &Form1::cmdClose_Click},
    };

    QList<QPair<int, QWidget *>> tabOrder;
    for (const StoredControl &stored : form.controls) {
        QWidget *widget = nullptr;
        if (stored.kind == QLatin1String("TavloClick")) {
            auto *button = new TavloClick(this);
            button->setObjectName(stored.name);
            button->setGeometry(stored.geometry);
            StepGuard("ReadProperties").run([&] { button->ReadProperties(stored.properties); });
            for (const ButtonRole &role : ButtonRoles) {
                if (stored.name == QLatin1String(role.name)) {
                    this->*role.member = button;
                    connect(button, &TavloClick::Click, this, role.click);
                }
            }
            widget = button;
        } else if (stored.kind == QLatin1String("TavloProBar")) {
            m_proBar = new TavloProBar(this);
            m_proBar->setObjectName(stored.name);
            m_proBar->setGeometry(stored.geometry);
            StepGuard("ReadProperties").run([&] { m_proBar->ReadProperties(stored.properties); });
            widget = m_proBar;
        } else if (stored.kind == QLatin1String("TextBox")) {
            auto *edit = new QLineEdit(this);
            edit->setObjectName(stored.name);
            edit->setGeometry(stored.geometry);
            (stored.name == QLatin1String("txtSource") ? m_txtSource : m_txtDest) = edit;
            widget = edit;
        } else if (stored.kind == QLatin1String("ComboBox")) {
            m_cboFormat = new FormatBox(this);
            m_cboFormat->setObjectName(stored.name);
            m_cboFormat->setGeometry(stored.geometry);
            m_cboFormat->setMaxVisibleItems(27);
            // A chosen item and typed text both run the destination update.
            connect(m_cboFormat, &QComboBox::currentTextChanged, this, &Form1::cboFormat_Click);
            widget = m_cboFormat;
        }
        if (!widget)
            continue;
        if (stored.font && !stored.kind.startsWith(QLatin1String("Tavlo")))
            widget->setFont(*stored.font);
        tabOrder.append({stored.tabIndex, widget});
    }
    connect(m_txtSource, &QLineEdit::editingFinished, this, &Form1::txtSource_EditingFinished);
    m_txtSource->setStyleSheet(QLatin1String(TextControlStyle));
    m_txtDest->setStyleSheet(QLatin1String(TextControlStyle));
    m_cboFormat->setPalette(darkPalette(m_cboFormat->palette()));
    // The list opens as wide as its longest name, which may be wider than the box.
    QAbstractItemView *list = m_cboFormat->view();
    list->setMinimumWidth(list->sizeHintForColumn(0) + list->verticalScrollBar()->sizeHint().width()
                          + 2 * list->frameWidth());
    std::sort(tabOrder.begin(), tabOrder.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1).second, tabOrder.at(i).second);
    Q_ASSERT(m_txtSource && m_txtDest && m_cboFormat && m_proBar && m_cmdSource && m_cmdDest && m_cmdConvert
             && m_cmdMin && m_cmdClose && m_cmdLogo);
}

void Form1::Form_Load()
{
    SetIcon(this, QStringLiteral("AAA"), true);
    m_run = new ConversionRun(this);
    m_conversion = &m_run->conversion();
    connectConversion();
}

AVC *Form1::AVC1() const { return &m_run->job(); }

QTimer &Form1::Timer1() { return m_run->timer(); }

void Form1::connectConversion()
{
    connect(m_conversion, &Conversion::progressed, this, &Form1::showProgress);
    // A message about the run is about its end: the question about stopping it goes first.
    connect(m_conversion, &Conversion::message, this, [] { MessageBoxPresenter::dismissQuestions(); });
    // The single run's end hides Pause; its events follow below.
    for (auto signal : {&Conversion::sourceMissing, &Conversion::finished, &Conversion::failed, &Conversion::cancelled})
        connect(m_conversion, signal, this, &Form1::showPauseControl, Qt::QueuedConnection);
    connect(m_conversion, &Conversion::sourceMissing, this, [this] {
        endRun();
        showIdleBar(QString());
        closeIfAsked();
    });
    connect(m_conversion, &Conversion::finished, this, [this] {
        endRun();
        QApplication::beep();
        // A result that is shorter than its source says so beside the usual words.
        const QString warning = m_conversion->warning();
        const QString finished = QStringLiteral("Conversion Finished !");
        StepGuard("progress bar").run([this, &warning, &finished] {
            m_proBar->setProValue(100);
            m_proBar->setCaption(warning.isEmpty() ? finished : finished + QLatin1String(" (") + warning + QLatin1Char(')'));
        });
        notifyIfUnwatched(finished, warning.isEmpty() ? m_txtDest->text() : m_txtDest->text() + QLatin1Char('\n') + warning);
        closeIfAsked();
    });
    connect(m_conversion, &Conversion::failed, this, [this] {
        endRun();
        showIdleBar(QStringLiteral("Conversion Failed !"));
        notifyIfUnwatched(QStringLiteral("Conversion Failed !"), m_txtSource->text());
        closeIfAsked();
    });
    connect(m_conversion, &Conversion::cancelled, this, [this] {
        endRun();
        showIdleBar(QStringLiteral("Conversion Cancelled !"));
        closeIfAsked();
    });
}

// The preset is selected when the window first shows or becomes active; coming back from a
// dialog or another program keeps the user's choice.
void Form1::Form_Activate()
{
    if (m_activated)
        return;
    m_activated = true;
    // The index, not the text: the list then opens on the preset the box shows.
    m_cboFormat->setCurrentIndex(m_cboFormat->findText(QLatin1String(DefaultPreset)));
    cboFormat_Click();
}

QString Form1::videosFolder()
{
    const QString own = QCoreApplication::applicationDirPath() + QLatin1String("/Videos/");
    if (QFileInfo(own).isDir())
        return own;
    return QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
}

void Form1::cboFormat_Click()
{
    if (queueMode()) {
        m_queue->setPreset(m_cboFormat->currentText());
        return;
    }
    // Text typed on the way to a preset's name leaves the destination as it is.
    if (m_txtSource->text().isEmpty() || !m_cboFormat->isPreset(m_cboFormat->currentText()))
        return;
    m_targetExtension = FormatExtension(m_cboFormat->currentText());
    // A source typed or pasted since the last update is taken as a chosen one would be.
    if (m_txtSource->text() != m_lastSourcePath)
        m_sourceExtension = PathExtension(m_txtSource->text());
    // A name the window set apart from the source is derived afresh, so that it does not keep
    // " (converted)" once the preset's extension differs from the source's.
    const bool fromSource = m_txtDest->text().isEmpty() || m_txtSource->text() != m_lastSourcePath
        || m_txtDest->text() == m_setApartDest;
    const QString base = fromSource ? m_txtSource->text() : m_txtDest->text();
    const QString proposed = destinationRenamed(m_txtSource->text(), base, m_targetExtension);
    m_setApartDest = proposed == withExtension(base, m_targetExtension) ? QString() : proposed;
    m_txtDest->setText(proposed);
    m_lastSourcePath = m_txtSource->text();
}

void Form1::cmdDest_Click()
{
    // Each file of a queue has its destination beside its source.
    if (queueMode())
        return;
    if (m_txtSource->text().isEmpty()) {
        MessageBoxes::show(QStringLiteral("Please select a Source AVI Video File First"));
        return;
    }
    m_targetExtension = FormatExtension(m_cboFormat->currentText());
    const QString filter = m_cboFormat->currentText() + QLatin1String(" (*") + m_targetExtension + QLatin1String(") ")
        + QChar(0) + QLatin1Char('*') + m_targetExtension + QLatin1Char(' ') + QChar(0)
        + QStringLiteral("All Files (*)") + QChar(0) + QStringLiteral("*");
    const QString base = m_txtDest->text().isEmpty() ? m_txtSource->text() : m_txtDest->text();
    const QString defaultName = destinationRenamed(m_txtSource->text(), base, m_targetExtension);
    const QString chosen = ShowSaveDialog(QStringLiteral("Select The Target Video File to Save."), filter,
                                          videosFolder(), this, defaultName);
    if (!chosen.isEmpty())
        m_txtDest->setText(chosen);
}

void Form1::cmdConvert_Click()
{
    // A Convert during a conversion asks to stop it; it never starts another nor resets the bar.
    if (anythingRunning()) {
        askToStopConversion();
        return;
    }
    if (queueMode()) {
        if (m_queue->convert()) {
            StepGuard("progress bar").run([this] { m_proBar->setShowValue(true); });
            m_runLook->show(true);
            showQueue();
        }
        return;
    }
    if (m_txtSource->text().isEmpty()) {
        MessageBoxes::show(QStringLiteral("Select AVI Video file to convert"), MessageBoxes::Information,
                           QStringLiteral("Select File"));
        showIdleBar(QString());
        return;
    }
    const QString preset = m_cboFormat->currentText();
    const QString source = m_txtSource->text();
    const QString destination = m_txtDest->text();
    // Said before anything runs, rather than as the encoder's failure at its end.
    if (Presets::find(preset) && !destination.isEmpty()) {
        if (const QString problem = prepareDestinationFolder(destination); !problem.isEmpty()) {
            MessageBoxes::show(problem, MessageBoxes::Critical);
            showIdleBar(QString());
            return;
        }
    }
    // The derived name can be an unrelated file of the user's (an older video of the same name).
    if (Presets::find(preset) && !destination.isEmpty() && QFileInfo::exists(destination)
        && !isSameFile(source, destination)) {
        const QString question = QFileInfo(destination).fileName() + QLatin1String(" already exists. Replace it?");
        if (MessageBoxes::show(question, YesNoQuestion) != MessageBoxes::Yes)
            return;
    }
    if (!m_conversion->start(preset, source, destination)) {
        // Nothing runs: the bar says nothing is being converted.
        showIdleBar(QString());
        return;
    }
    StepGuard("progress bar").run([this] {
        m_proBar->setProValue(0);
        m_proBar->setShowValue(true);
        m_proBar->setCaption(QLatin1String(ConvertingCaption));
    });
    if (m_conversion->running())
        m_runLook->show(true);
    showPauseControl();
}

void Form1::askToStopConversion()
{
    if (m_queue->runner().running()) {
        if (m_queue->runner().stopping())
            return;
        const int answer = MessageBoxes::show(QStringLiteral("A conversion is running. Stop it?"), YesNoQuestion);
        if (answer == MessageBoxes::Yes)
            m_queue->runner().stop();
        return;
    }
    if (!m_conversion->running() || m_conversion->cancelling())
        return;
    const int answer = MessageBoxes::show(QStringLiteral("A conversion is running. Stop it?"), YesNoQuestion);
    // A conversion that ended while the question was open stays as it ended.
    if (answer == MessageBoxes::Yes && m_conversion->running())
        m_conversion->cancel();
}

void Form1::stopAndClose()
{
    m_closeWhenStopped = true;
    close();
}

void Form1::endRun()
{
    m_runLook->show(false);
    MessageBoxPresenter::dismissQuestions();
}

void Form1::closeIfAsked()
{
    if (m_closeWhenStopped)
        close();
}

void Form1::showProgress(int percent)
{
    if (m_conversion->cancelling())
        return;
    // The encoder's last lines still arrive after a pause: they move the bar, not the caption.
    QString caption = QStringLiteral("Paused");
    if (!m_conversion->paused()) {
        caption = QLatin1String(ConvertingCaption);
        if (const std::optional<qint64> left = m_conversion->timeLeftMs())
            caption += QLatin1Char(' ') + clockText(*left) + QLatin1String(" left");
    }
    StepGuard("progress bar").run([&] {
        if (m_proBar->ProValue().toInt() != percent)
            m_proBar->setProValue(percent);
        if (m_proBar->Caption() != caption)
            m_proBar->setCaption(caption);
    });
}

void Form1::showIdleBar(const QString &caption)
{
    StepGuard("progress bar").run([&] {
        m_proBar->setProValue(0);
        m_proBar->setCaption(caption);
        m_proBar->setShowValue(false);
    });
}

void Form1::notifyIfUnwatched(const QString &summary, const QString &body)
{
    if (!isActiveWindow())
        DesktopNotifier::notify(summary, body);
}

void Form1::cmdLogo_Click() { ShellOpen(WebAddresses::homePage()); }

void Form1::cmdMin_Click() { showMinimized(); }

void Form1::cmdClose_Click() { close(); }

void Form1::tmrCheck_Timer()
{
    m_tmrCheck.stop();
    showFirstRunPage();
}

void Form1::tmrAutoUpdate_Timer()
{
    m_tmrAutoUpdate.stop();
    runUpdateQuery(m_updateWindow, this);
}

void Form1::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_background.isNull())
        painter.fillRect(rect(), QColor(24, 24, 28));
    else // the form's own size: the queue panel below it paints itself
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

// Closing ends the program, but never leaves a conversion running unseen nor kills it unasked:
// the user decides, and the window closes once the encoder has cleaned up.
void Form1::closeEvent(QCloseEvent *event)
{
    if (anythingRunning()) {
        if (!m_closeWhenStopped) {
            const int answer = MessageBoxes::show(QStringLiteral("A conversion is running. Stop it and close?"),
                                                  YesNoQuestion);
            if (answer != MessageBoxes::Yes) {
                event->ignore();
                return;
            }
            m_closeWhenStopped = true;
        }
        // It may have ended while the question was open; then the window closes now.
        if (m_queue->runner().running()) {
            m_queue->runner().stop();
            event->ignore();
            return;
        }
        if (m_conversion->running()) {
            m_conversion->cancel();
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
    QCoreApplication::quit();
}
