#pragma once

#include "workflow/ConversionOptions.h"
#include "workflow/CropDetect.h"
#include "workflow/SourceInfo.h"
#include "workflow/Target.h"

#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <optional>

class AsideWork;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class Samples;
class TargetChoice;
class TargetPlanner;

// A look at the result before converting: a picture of the source at a chosen time and the same
// picture as the preset and the options make it (encoded by the adapter, as the conversion
// encodes), side by side or one at a time in the same place; the time chosen by a slider or the
// arrow keys, and offered as the start or the end of the part converted; under them, what the
// conversion will give (size, time, quality) from samples of the source, and the target it may
// aim at. Every change waits a moment for the next one, and whatever was running for the last is
// stopped; nothing runs while the panel is hidden, nothing here waits on a tool. In the window's
// dark look, every control reached by the keyboard; the pictures are named by what they show and
// the estimate is a text a screen reader reads.
class PreviewPanel : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(PreviewPanel)

public:
    explicit PreviewPanel(QWidget *parent = nullptr);
    ~PreviewPanel() override;

    // The files of the conversion; the first is previewed.
    void setSources(const QStringList &sources);
    void setPreset(const QString &preset);
    void setOptions(const ConversionOptions &options);
    // Where the adapter is; the program's own folder unless set.
    void setProgramFolder(const QString &folder);

    // The size or quality aimed at: none unless the preset takes one.
    Target target() const;
    // Why the target as typed cannot be used; empty when it can.
    QString targetProblem() const;
    // The focus in the target's field at fault.
    void focusTarget();

    // The time shown, in milliseconds of the source.
    qint64 position() const;
    void setPosition(qint64 ms);
    // Both pictures, or one at a time; which one shows alone.
    bool sideBySide() const { return m_sideBySide; }
    bool showsResultAlone() const { return !m_sideBySide && m_resultAlone; }
    // Side by side: the result alone; alone: the other picture.
    void switchPictures();

    // What the panel shows, as a screen reader reads it.
    QLabel *sourcePicture() const { return m_sourcePicture; }
    QLabel *resultPicture() const { return m_resultPicture; }
    QLabel *estimateText() const { return m_estimate; }
    TargetChoice *targetChoice() const { return m_targetChoice; }

    // Milliseconds a change waits for the next before anything runs.
    static constexpr int PictureDelayMs = 300;
    static constexpr int EstimateDelayMs = 800;

signals:
    // "Start here" and "End here": the time shown, for the part converted.
    void startChosen(qint64 ms);
    void endChosen(qint64 ms);
    void targetChanged();
    // The pictures for the time, preset and options shown are in place (or say why not).
    void picturesShown();
    // The estimate for the preset, options and target shown is in place (or says why not).
    void estimateShown();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Prepared; // the source read and the options made concrete, off the window's thread

    void build();
    void pictureLater();
    void estimateLater();
    void makePictures();
    void prepared(const Prepared &prepared, int generation);
    void pictured(const QString &sourceFile, const QString &resultFile);
    void showPictureProblem(const QString &problem);
    void makeEstimate();
    void sourceRead(const SourceInfo &info);
    void showPositionText();
    void showPictures();
    void scalePicture(QLabel *label, const QImage &image);
    void dropPictureWork();
    void dropEstimateWork();
    QString timeText(qint64 ms) const;

    AsideWork *m_aside = nullptr;
    QString m_programFolder;
    QStringList m_sources;
    QString m_preset;
    ConversionOptions m_options;
    std::optional<SourceInfo> m_info;          // the previewed source, once read
    std::optional<CropDetect::Found> m_crop;   // its black bars, once measured
    QPointer<Samples> m_pictureWork;
    QPointer<TargetPlanner> m_estimateWork;
    int m_pictureGeneration = 0; // which request a result answers
    bool m_picturesStale = true;
    bool m_estimateStale = true;
    bool m_sideBySide = true;
    bool m_resultAlone = true;
    QImage m_sourceImage;
    QImage m_resultImage;
    qint64 m_shownAt = -1; // the time the pictures show
    qint64 m_pressedAt[2] = {}; // the time when Start here, End here went down
    QString m_step;         // the estimate's step last shown
    // The line a target's estimate chose ("CRF 23.4"), which the result is then made with.
    QStringList m_aimedLine;
    QString m_aimedSetting;

    QTimer *m_pictureTimer = nullptr;
    QTimer *m_estimateTimer = nullptr;
    QLabel *m_sourcePicture = nullptr;
    QLabel *m_resultPicture = nullptr;
    QSlider *m_slider = nullptr;
    QLabel *m_time = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_end = nullptr;
    QPushButton *m_sideBySideButton = nullptr;
    QPushButton *m_switch = nullptr;
    QLabel *m_note = nullptr; // which file, or why there is no picture
    QLabel *m_estimate = nullptr;
    TargetChoice *m_targetChoice = nullptr;
};
