#include "mainwindow/Form1.h"

#include "common/MessageBoxes.h"
#include "controls/button/TavloClick.h"
#include "controls/progressbar/TavloProBar.h"
#include "engine/AVC.h"
#include "mainwindow/DesktopNotifier.h"
#include "mainwindow/Presets.h"
#include "mainwindow/StoredForm.h"
#include "mainwindow/WindowHelpers.h"
#include "update/FirstRun.h"
#include "update/ShellOpen.h"
#include "update/UpdateWindow.h"
#include "update/WebAddresses.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStandardPaths>
#include <QWindow>

namespace {

constexpr const char *FormResource = ":/forms/Form1.json";

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

// Every occurrence of the lower-case, then of the upper-case form of `from` replaced by `to`.
QString replaceExtension(QString path, const QString &from, const QString &to)
{
    if (from.isEmpty())
        return path;
    path.replace(from.toLower(), to, Qt::CaseSensitive);
    path.replace(from.toUpper(), to, Qt::CaseSensitive);
    return path;
}

template <typename Action>
void guarded(const char *what, Action action)
{
    try {
        action();
    } catch (const RuntimeError &error) {
        qWarning("%s: %s", what, error.what());
    }
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    QString error;
    const std::optional<StoredForm> form = StoredForm::load(QLatin1String(FormResource), &error);
    if (!form)
        qFatal("The window's stored form is damaged: %s", qPrintable(error));
    setWindowTitle(form->caption);
    setFixedSize(form->clientSize);
    m_background = form->picture.image();
    setAcceptDrops(true);
    createControls(*form);

    m_timer1.setInterval(0);
    m_tmrCheck.setInterval(1000);
    m_tmrAutoUpdate.setInterval(30000);
    connect(&m_tmrCheck, &QTimer::timeout, this, &Form1::tmrCheck_Timer);
    connect(&m_tmrAutoUpdate, &QTimer::timeout, this, &Form1::tmrAutoUpdate_Timer);
    Form_Load();
    m_tmrCheck.start();
    m_tmrAutoUpdate.start();
}

Form1::~Form1() = default;

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
            guarded("ReadProperties", [&] { button->ReadProperties(stored.properties); });
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
            guarded("ReadProperties", [&] { m_proBar->ReadProperties(stored.properties); });
            widget = m_proBar;
        } else if (stored.kind == QLatin1String("TextBox")) {
            auto *edit = new QLineEdit(this);
            edit->setObjectName(stored.name);
            edit->setGeometry(stored.geometry);
            (stored.name == QLatin1String("txtSource") ? m_txtSource : m_txtDest) = edit;
            widget = edit;
        } else if (stored.kind == QLatin1String("ComboBox")) {
            m_cboFormat = new QComboBox(this);
            m_cboFormat->setObjectName(stored.name);
            m_cboFormat->setGeometry(stored.geometry);
            m_cboFormat->setEditable(true);
            m_cboFormat->setMaxVisibleItems(27);
            m_cboFormat->addItems(Presets::names());
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
    m_txtSource->setStyleSheet(QLatin1String(TextControlStyle));
    m_txtDest->setStyleSheet(QLatin1String(TextControlStyle));
    m_cboFormat->setPalette(darkPalette(m_cboFormat->palette()));
    std::sort(tabOrder.begin(), tabOrder.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1).second, tabOrder.at(i).second);
    Q_ASSERT(m_txtSource && m_txtDest && m_cboFormat && m_proBar && m_cmdSource && m_cmdDest && m_cmdConvert
             && m_cmdMin && m_cmdClose && m_cmdLogo);
}

void Form1::Form_Load()
{
    SetIcon(this, QStringLiteral("AAA"), true);
    m_avc1 = new AVC(&m_timer1, this);
    connect(m_avc1, &AVC::DataOutput, this, &Form1::AVC1_DataOutput);
    connect(m_avc1, &AVC::Complete, this, &Form1::AVC1_Complete);
    connect(m_avc1, &AVC::Failed, this, &Form1::AVC1_Failed);
    connect(m_avc1, &AVC::ErrorEvent, this, &Form1::AVC1_ErrorEvent);
}

// The preset is selected when the window first shows or becomes active; coming back from a
// dialog or another program keeps the user's choice.
void Form1::Form_Activate()
{
    if (m_activated)
        return;
    m_activated = true;
    m_cboFormat->setCurrentText(QLatin1String(DefaultPreset));
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
    if (m_txtSource->text().isEmpty())
        return;
    m_targetExtension = FormatExtension(m_cboFormat->currentText());
    if (m_txtDest->text().isEmpty() || m_txtSource->text() != m_lastSourcePath) {
        m_txtDest->setText(replaceExtension(m_txtSource->text(), m_sourceExtension, m_targetExtension));
    } else {
        m_txtDest->setText(replaceExtension(m_txtDest->text(), PathExtension(m_txtDest->text()), m_targetExtension));
    }
    m_lastSourcePath = m_txtSource->text();
}

void Form1::useSource(const QString &path)
{
    m_txtSource->setText(path);
    m_sourceExtension = PathExtension(path);
    cboFormat_Click();
}

void Form1::cmdSource_Click()
{
    // Any video the encoder reads comes first; "*" also lists names without a dot.
    const QString filter = QStringLiteral("Video Files") + QChar(0)
        + QStringLiteral("*.avi;*.mp4;*.m4v;*.mkv;*.mov;*.webm;*.wmv;*.mpg;*.mpeg;*.flv;*.3gp;*.ts;*.vob;*.ogv") + QChar(0)
        + QStringLiteral("AVI Video Files (*.avi)") + QChar(0) + QStringLiteral("*.avi") + QChar(0)
        + QStringLiteral("All Files (*)") + QChar(0) + QStringLiteral("*");
    const QString initialDir = m_txtSource->text().isEmpty() ? videosFolder() : m_txtSource->text();
    const QString chosen = ShowOpenDialog(QStringLiteral("Select a AVI Video File to Convert"), filter, initialDir, this,
                                          QString());
    if (!chosen.isEmpty()) {
        m_txtSource->setText(chosen);
        m_sourceExtension = PathExtension(chosen);
    }
    cboFormat_Click();
}

void Form1::cmdDest_Click()
{
    if (m_txtSource->text().isEmpty()) {
        MessageBoxes::show(QStringLiteral("Please select a Source AVI Video File First"));
        return;
    }
    m_targetExtension = FormatExtension(m_cboFormat->currentText());
    const QString filter = m_cboFormat->currentText() + QLatin1String(" (*") + m_targetExtension + QLatin1String(") ")
        + QChar(0) + QLatin1Char('*') + m_targetExtension + QLatin1Char(' ') + QChar(0)
        + QStringLiteral("All Files (*)") + QChar(0) + QStringLiteral("*");
    const QString base = m_txtDest->text().isEmpty() ? m_txtSource->text() : m_txtDest->text();
    const QString defaultName = replaceExtension(base, m_sourceExtension, m_targetExtension);
    const QString chosen = ShowSaveDialog(QStringLiteral("Select The Target Video File to Save."), filter,
                                          videosFolder(), this, defaultName);
    if (!chosen.isEmpty())
        m_txtDest->setText(chosen);
}

void Form1::cmdConvert_Click()
{
    if (m_txtSource->text().isEmpty()) {
        MessageBoxes::show(QStringLiteral("Select AVI Video file to convert"), MessageBoxes::Information,
                           QStringLiteral("Select File"));
        return;
    }
    ConvertAVI(*m_avc1, m_cboFormat->currentText(), m_txtSource->text(), m_txtDest->text(), &m_ratio);
    m_meter.reset(m_ratio);
    guarded("progress bar", [this] {
        m_proBar->setProValue(0);
        m_proBar->setShowValue(true);
        m_proBar->setCaption(QStringLiteral("Converting Video File. Please wait..."));
    });
}

void Form1::AVC1_DataOutput(const QString &strData, qint64 FileSize)
{
    if (FileSize > 0) {
        const int value = m_meter.feed(strData, FileSize);
        guarded("progress bar", [&] { m_proBar->setProValue(value); });
        return;
    }
    m_avc1->CancelConvert();
    MessageBoxes::show(QStringLiteral("The Source video file is not found!"));
    guarded("progress bar", [this] {
        m_proBar->setProValue(0);
        m_proBar->setCaption(QString());
        m_proBar->setShowValue(false);
    });
}

void Form1::AVC1_Complete()
{
    QApplication::beep();
    guarded("progress bar", [this] {
        m_proBar->setProValue(100);
        m_proBar->setCaption(QStringLiteral("Conversion Finished !"));
    });
    notifyIfUnwatched(QStringLiteral("Conversion Finished !"), m_txtDest->text());
}

void Form1::AVC1_Failed()
{
    guarded("progress bar", [this] {
        m_proBar->setProValue(0);
        m_proBar->setShowValue(false);
        m_proBar->setCaption(QStringLiteral("Conversion Failed !"));
    });
    notifyIfUnwatched(QStringLiteral("Conversion Failed !"), m_txtSource->text());
}

void Form1::AVC1_ErrorEvent(const QString &ErrorMessage)
{
    MessageBoxes::show(ErrorMessage);
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
    ShowFirstRunPage();
}

void Form1::tmrAutoUpdate_Timer()
{
    m_tmrAutoUpdate.stop();
    RunUpdateQuery(m_updateWindow, this);
}

void Form1::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_background.isNull())
        painter.fillRect(rect(), QColor(24, 24, 28));
    else
        painter.drawImage(0, 0, m_background);
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Form_Activate();
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

// Closing ends the program at once.
void Form1::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    QCoreApplication::quit();
}

void Form1::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    useSource(urls.first().toLocalFile());
    event->acceptProposedAction();
}
