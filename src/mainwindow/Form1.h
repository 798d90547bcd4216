#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

class AVC;
class Conversion;
class ConversionRun;
class FormatBox;
class QComboBox;
class RunLook;
class QueuePanel;
class TavloClick;
class TavloProBar;
class UpdateWindow;
class WindowQueue;
struct StoredForm;

// The program's one window: pick a source, a preset and a destination, press Convert, and watch
// the progress bar. Frameless; its artwork is the background, its controls our own.
class Form1 : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(Form1)

public:
    static constexpr const char *DefaultPreset = "iPOD Video (320x240) MPEG4";

    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // The controls, as the stored form creates them.
    QLineEdit *txtSource() const { return m_txtSource; }
    QLineEdit *txtDest() const { return m_txtDest; }
    QComboBox *cboFormat() const;
    FormatBox *formatBox() const { return m_cboFormat; }
    TavloClick *cmdSource() const { return m_cmdSource; }
    TavloClick *cmdDest() const { return m_cmdDest; }
    TavloClick *cmdConvert() const { return m_cmdConvert; }
    TavloClick *cmdMin() const { return m_cmdMin; }
    TavloClick *cmdClose() const { return m_cmdClose; }
    TavloClick *cmdLogo() const { return m_cmdLogo; }
    TavloProBar *ProBar() const { return m_proBar; }
    // Beside Convert while something converts: suspends and resumes the encoders (Alt+P, Pause).
    TavloClick *cmdPause() const { return m_cmdPause; }
    WindowQueue *queue() const { return m_queue; }
    QueuePanel *queuePanel() const { return m_queuePanel; }
    // The run's parts: the job, its conversion and its poll timer.
    AVC *AVC1() const;
    Conversion *conversion() const { return m_conversion; }
    QTimer &Timer1();
    QTimer &tmrCheck() { return m_tmrCheck; }
    QTimer &tmrAutoUpdate() { return m_tmrAutoUpdate; }
    QString SourceExtension() const { return m_sourceExtension; }

    // Where the dialogs start: the program folder's "Videos" folder, else the user's videos.
    static QString videosFolder();

    // Takes a file as the open dialog does: source, its extension, the destination update.
    void useSource(const QString &path);
    // One file as useSource; several go into the queue, which opens below the form.
    void useSources(const QStringList &paths);

    // Asks whether to stop a running conversion, and stops it on Yes (Convert or Esc meanwhile).
    void askToStopConversion();
    // Stops a running conversion without asking and closes once it has gone (a stop signal).
    void stopAndClose();
    // Ctrl-Z in the terminal that started the window: the running encoders pause with it, and go
    // on when it is continued.
    void suspendEncoders(bool suspend);

    // The handlers, named after what raises them.
    void cboFormat_Click();
    // A typed or pasted source, once Return is pressed or the field left, as a chosen one.
    void txtSource_EditingFinished();
    void cmdSource_Click();
    void cmdDest_Click();
    void cmdConvert_Click();
    void cmdLogo_Click();
    void cmdMin_Click();
    void cmdClose_Click();
    void cmdPause_Click();
    void tmrCheck_Timer();
    void tmrAutoUpdate_Timer();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void Form_Load();
    void Form_Activate();
    void createControls(const StoredForm &form);
    void notifyIfUnwatched(const QString &summary, const QString &body);
    void connectConversion();
    void showIdleBar(const QString &caption);
    void showProgress(int percent);
    void closeIfAsked();
    // After a run: the idle look, and no question about the run left open.
    void endRun();
    // Scales the window down when the screen's available area is smaller than it.
    static double fitFactor(QSize size);
    void createQueue(const StoredForm &form);
    bool queueMode() const;
    bool anythingRunning() const;
    void showQueue();
    void queueFinished();
    void showPauseControl();

    QImage m_background;
    QLineEdit *m_txtSource = nullptr;
    QLineEdit *m_txtDest = nullptr;
    FormatBox *m_cboFormat = nullptr;
    TavloClick *m_cmdSource = nullptr;
    TavloClick *m_cmdDest = nullptr;
    TavloClick *m_cmdConvert = nullptr;
    TavloClick *m_cmdMin = nullptr;
    TavloClick *m_cmdClose = nullptr;
    TavloClick *m_cmdLogo = nullptr;
    TavloProBar *m_proBar = nullptr;

    QTimer m_tmrCheck;
    QTimer m_tmrAutoUpdate;
    UpdateWindow *m_updateWindow = nullptr;
    ConversionRun *m_run = nullptr;
    Conversion *m_conversion = nullptr; // the run's
    std::unique_ptr<RunLook> m_runLook;
    WindowQueue *m_queue = nullptr;
    QueuePanel *m_queuePanel = nullptr;
    TavloClick *m_cmdPause = nullptr;
    bool m_suspendedBySignal = false; // paused by Ctrl-Z, not by the user

    QString m_lastSourcePath;
    QString m_targetExtension;
    QString m_sourceExtension;
    QString m_setApartDest; // the destination last set apart from the source, while it stands
    bool m_activated = false;
    // Close once the running conversion has stopped (the user said so, or a stop signal came).
    bool m_closeWhenStopped = false;
};
