#pragma once

#include "mainwindow/FormControls.h"

#include <QImage>
#include <QLineEdit>
#include <QWidget>

class ConversionRun;
class QComboBox;
class OptionsPanel;
class PanelArea;
class PreviewPanel;
class QTimer;
class QueuePanel;
class RunController;
class SourcePicker;
class UpdateTimers;
class WatchControl;
class WindowQueue;

// The program's one window: pick a source, a preset and a destination, press Convert, and watch
// the progress bar. Frameless; its artwork is the background, its controls our own. It keeps the
// window's chrome (background, moving, minimising, closing, fitting the screen) and wires the
// parts that do the rest: the controls from the stored form, the source picker, the run
// controller, the queue below the form and the update timers.
class Form1 : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(Form1)

public:
    static constexpr const char *DefaultPreset = "iPOD Video (320x240) MPEG4";

    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // The controls, as the stored form creates them.
    QLineEdit *txtSource() const { return m_controls.txtSource; }
    QLineEdit *txtDest() const { return m_controls.txtDest; }
    QComboBox *cboFormat() const;
    FormatBox *formatBox() const { return m_controls.cboFormat; }
    TavloClick *cmdSource() const { return m_controls.cmdSource; }
    TavloClick *cmdDest() const { return m_controls.cmdDest; }
    TavloClick *cmdConvert() const { return m_controls.cmdConvert; }
    TavloClick *cmdMin() const { return m_controls.cmdMin; }
    TavloClick *cmdClose() const { return m_controls.cmdClose; }
    TavloClick *cmdLogo() const { return m_controls.cmdLogo; }
    TavloProBar *ProBar() const { return m_controls.proBar; }
    // Beside Convert while something converts: suspends and resumes the encoders (Alt+P, Pause).
    TavloClick *cmdPause() const { return m_controls.cmdPause; }
    WindowQueue *queue() const { return m_queue; }
    QueuePanel *queuePanel() const { return m_queuePanel; }
    WatchControl *watchControl() const { return m_watch; }
    // What goes into the files beyond the preset: a page of the panel area.
    OptionsPanel *optionsPanel() const { return m_options; }
    // The tabbed area under the form, shown while the window holds a source: the queue's page
    // (while there is a queue or a watch), the options' page, and others beside them.
    PanelArea *panelArea() const { return m_panels; }
    // The "Preview" page: the pictures before and after, the estimate and the target.
    PreviewPanel *previewPanel() const { return m_previewPanel; }
    // Something converts: the file in the fields or the queue.
    bool converting() const;
    // The run converting the file in the fields, or that last did.
    ConversionRun *run() const;
    QTimer &tmrCheck();
    QTimer &tmrAutoUpdate();
    QString SourceExtension() const;

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

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    struct FittedForm;
    Form1(const FittedForm &fitted, QWidget *parent);
    static FittedForm fittedForm();
    void Form_Activate();
    void wire();
    // The panel area and its pages follow what the window holds: a file in the fields, a queue
    // or a watch. The options are for the file or the queue's files.
    void showPanels();
    void fitPanels(bool shown);
    // Options or a target that cannot be used refuse Convert, saying why, with the focus on the
    // field at fault.
    bool refuseOptions();
    // Scales the window down when the screen's available area is smaller than it.
    static double fitFactor(QSize size);

    QImage m_background;
    FormControls m_controls;
    WindowQueue *m_queue = nullptr;
    QueuePanel *m_queuePanel = nullptr;
    OptionsPanel *m_options = nullptr;
    PanelArea *m_panels = nullptr;
    PreviewPanel *m_previewPanel = nullptr;
    int m_formHeight = 0;
    RunController *m_run = nullptr;
    SourcePicker *m_picker = nullptr;
    WatchControl *m_watch = nullptr;
    UpdateTimers *m_timers = nullptr;
    bool m_activated = false;
};
