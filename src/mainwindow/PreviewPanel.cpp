#include "mainwindow/PreviewPanel.h"

#include "workflow/AsideWork.h"
#include "mainwindow/TargetChoice.h"
#include "workflow/ClockText.h"
#include "workflow/OptionPlan.h"
#include "workflow/Presets.h"
#include "workflow/Samples.h"
#include "workflow/TargetPlanner.h"

#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QSlider>
#include <QTimer>

#include <cmath>

namespace {

// The last pictures of a file may be missing from its stated length; the slider stops short.
constexpr qint64 EndMarginMs = 250;

QString estimateSentence(const TargetPlanner::Plan &plan, const Estimate &estimate)
{
    QString text = QStringLiteral("Estimate: about %1 (%2 kb/s), %3 to convert on this machine")
                       .arg(QLocale::c().formattedDataSize(estimate.bytes, 1, QLocale::DataSizeSIFormat))
                       .arg(estimate.kbps, 0, 'f', 0)
                       .arg(clockText(std::max<qint64>(1000, qint64(std::lround(estimate.seconds * 1000)))));
    if (estimate.ssim)
        text += QStringLiteral(", SSIM %1").arg(*estimate.ssim, 0, 'f', 3);
    text += QStringLiteral(" (from %1 sample%2).").arg(estimate.samples).arg(estimate.samples == 1 ? "" : "s");
    if (!plan.note.isEmpty())
        text += QStringLiteral("\nAim: %1.").arg(plan.note);
    return text;
}

} // namespace

struct PreviewPanel::Prepared {
    SourceInfo info;
    std::optional<CropDetect::Found> crop;
    OptionPlan plan;
    bool planned = false; // false: only read, for the slider to be laid over the file first
};

PreviewPanel::PreviewPanel(QWidget *parent)
    : QWidget(parent), m_aside(new AsideWork(this))
{
    build();
    m_pictureTimer = new QTimer(this);
    m_pictureTimer->setSingleShot(true);
    m_pictureTimer->setInterval(PictureDelayMs);
    connect(m_pictureTimer, &QTimer::timeout, this, &PreviewPanel::makePictures);
    m_estimateTimer = new QTimer(this);
    m_estimateTimer->setSingleShot(true);
    m_estimateTimer->setInterval(EstimateDelayMs);
    connect(m_estimateTimer, &QTimer::timeout, this, &PreviewPanel::makeEstimate);
    connect(m_slider, &QSlider::valueChanged, this, [this] {
        showPositionText();
        pictureLater();
    });
    connect(m_targetChoice, &TargetChoice::targetChanged, this, [this] {
        estimateLater();
        emit targetChanged();
    });
    setSources({});
}

PreviewPanel::~PreviewPanel()
{
    // The work still running stops with its objects; no result reaches a panel that is going.
    dropPictureWork();
    dropEstimateWork();
}

void PreviewPanel::setProgramFolder(const QString &folder)
{
    m_programFolder = folder;
}

Target PreviewPanel::target() const
{
    return m_targetChoice->target();
}

QString PreviewPanel::targetProblem() const
{
    return m_targetChoice->problem();
}

void PreviewPanel::focusTarget()
{
    m_targetChoice->focusProblem();
}

qint64 PreviewPanel::position() const
{
    return qint64(m_slider->value()) * 1000;
}

void PreviewPanel::setPosition(qint64 ms)
{
    m_slider->setValue(int(std::clamp<qint64>(ms / 1000, m_slider->minimum(), m_slider->maximum())));
}

void PreviewPanel::setSources(const QStringList &sources)
{
    const QString first = sources.value(0);
    const bool another = first != m_sources.value(0) || sources.isEmpty();
    m_sources = sources;
    if (another) {
        m_info.reset();
        m_crop.reset();
        m_sourceImage = QImage();
        m_resultImage = QImage();
        m_shownAt = -1;
        const QSignalBlocker blocker(m_slider);
        m_slider->setRange(0, 0);
        m_slider->setEnabled(false);
        showPositionText();
    }
    const QString name = QFileInfo(first).fileName();
    m_note->setText(sources.isEmpty()        ? QStringLiteral("Choose a source to see it here before converting.")
                    : sources.size() == 1 ? QString()
                                          : QStringLiteral("Showing %1, the first of %2 files.").arg(name).arg(sources.size()));
    m_note->setVisible(!m_note->text().isEmpty());
    if (!another)
        return;
    pictureLater();
    estimateLater();
}

void PreviewPanel::setPreset(const QString &preset)
{
    if (preset == m_preset)
        return;
    m_preset = preset;
    m_targetChoice->setPreset(preset);
    pictureLater();
    estimateLater();
}

void PreviewPanel::setOptions(const ConversionOptions &options)
{
    if (options == m_options)
        return;
    const bool picture = options.crop != m_options.crop || options.burn != m_options.burn;
    m_options = options;
    // Tracks, the part and the metadata leave the picture as it is; the estimate follows them all.
    if (picture)
        pictureLater();
    estimateLater();
}

void PreviewPanel::pictureLater()
{
    m_picturesStale = true;
    ++m_pictureGeneration;
    dropPictureWork();
    if (isVisible())
        m_pictureTimer->start();
}

void PreviewPanel::estimateLater()
{
    // The result shows the preset's own line until the next estimate has chosen the target's.
    if (!m_aimedLine.isEmpty()) {
        m_aimedLine.clear();
        m_aimedSetting.clear();
        pictureLater();
    }
    m_estimateStale = true;
    dropEstimateWork();
    if (isVisible())
        m_estimateTimer->start();
}

void PreviewPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // What changed while the panel was hidden is made now.
    if (m_picturesStale && !m_pictureWork && !m_pictureTimer->isActive())
        m_pictureTimer->start();
    if (m_estimateStale && !m_estimateWork && !m_estimateTimer->isActive())
        m_estimateTimer->start();
}

void PreviewPanel::makePictures()
{
    const int generation = ++m_pictureGeneration;
    const QString source = m_sources.value(0);
    const Preset *preset = Presets::find(m_preset);
    if (source.isEmpty() || !preset) {
        m_picturesStale = false;
        showPictures();
        emit picturesShown();
        return;
    }
    m_resultPicture->setAccessibleDescription(QStringLiteral("Being made…"));
    const OptionPlan::PresetFacts facts = OptionPlan::PresetFacts::of(*preset);
    // The options of a short part starting at the time shown, as the conversion of that part
    // would have them.
    ConversionOptions options = preset->options.overriddenBy(m_options);
    options.startMs = position();
    options.endMs.reset();
    options.lengthMs = qint64(Samples::PictureSeconds * 1000);
    // What is known of the file is of the first source: both are forgotten when it changes.
    m_aside->run<Prepared>(
        [source, info = m_info, crop = m_crop, options, facts] {
            Prepared prepared{info ? *info : SourceInfo::read(source), crop, {}};
            prepared.planned = info && prepared.info.ok();
            if (prepared.planned)
                prepared.plan = OptionPlan::make(options, prepared.info, facts, [&prepared](const SourceInfo &info) {
                    if (!prepared.crop)
                        prepared.crop = CropDetect::find(info);
                    return *prepared.crop;
                });
            return prepared;
        },
        [this, generation, source](Prepared prepared) {
            // What was learnt of the file holds for every later request about it.
            if (source == m_sources.value(0)) {
                if (!m_info)
                    sourceRead(prepared.info);
                if (prepared.crop && !m_crop)
                    m_crop = prepared.crop;
            }
            if (generation == m_pictureGeneration)
                this->prepared(prepared, generation);
        });
}

void PreviewPanel::sourceRead(const SourceInfo &info)
{
    m_info = info;
    if (!info.ok() || !info.duration)
        return;
    const qint64 duration = qint64(*info.duration * 1000);
    const QSignalBlocker blocker(m_slider);
    // Whole seconds: a screen reader speaks the slider's value, which is then the time.
    m_slider->setRange(0, int(std::max<qint64>(0, duration - EndMarginMs) / 1000));
    // A third in: past the titles most films open with.
    m_slider->setValue(int(duration / 3 / 1000));
    m_slider->setEnabled(true);
    showPositionText();
}

void PreviewPanel::prepared(const Prepared &prepared, int generation)
{
    if (!prepared.info.ok()) {
        showPictureProblem(prepared.info.error);
        return;
    }
    if (!prepared.info.duration) {
        showPictureProblem(QStringLiteral("%1 states no length to choose a time in.").arg(QFileInfo(prepared.info.path).fileName()));
        return;
    }
    if (!prepared.planned) {
        // Only read so far: the pictures at the time now chosen.
        makePictures();
        return;
    }
    if (prepared.plan.refused()) {
        showPictureProblem(prepared.plan.refusal);
        return;
    }
    const Preset *preset = Presets::find(m_preset);
    if (!preset)
        return;
    const bool writesPicture = OptionPlan::PresetFacts::of(*preset).writesVideo;
    const QStringList line = !writesPicture ? QStringList() : m_aimedLine.isEmpty() ? TargetPlanner::lineOf(*preset) : m_aimedLine;
    const QString extension = QString::fromUtf8(preset->extension);
    const bool asWritten = preset->group != PresetGroup::Classic;
    const QStringList block = prepared.plan.arguments;
    const qint64 at = position();
    auto *work = new Samples(this);
    m_pictureWork = work;
    if (!m_programFolder.isEmpty())
        work->setProgramFolder(m_programFolder);
    connect(work, &Samples::ready, this, [work, at, line, extension, asWritten, block] {
        work->picture(double(at) / 1000, line, extension, asWritten, block);
    });
    connect(work, &Samples::pictured, this, [this, at, generation](const QString &sourceFile, const QString &resultFile) {
        if (generation != m_pictureGeneration)
            return;
        m_shownAt = at;
        pictured(sourceFile, resultFile);
    });
    connect(work, &Samples::failed, this, [this, generation](const QString &reason) {
        if (generation == m_pictureGeneration)
            showPictureProblem(QStringLiteral("No picture: ") + reason + QLatin1Char('.'));
    });
    work->open(m_sources.value(0));
}

void PreviewPanel::pictured(const QString &sourceFile, const QString &resultFile)
{
    m_sourceImage = QImage(sourceFile);
    m_resultImage = resultFile.isEmpty() ? QImage() : QImage(resultFile);
    const QString time = timeText(m_shownAt);
    const QString name = QFileInfo(m_sources.value(0)).fileName();
    m_sourcePicture->setAccessibleName(QStringLiteral("Source at %1").arg(time));
    m_sourcePicture->setAccessibleDescription(
        QStringLiteral("%1 at %2, as it is: %3×%4").arg(name, time).arg(m_sourceImage.width()).arg(m_sourceImage.height()));
    m_resultPicture->setAccessibleName(QStringLiteral("After the preset at %1").arg(time));
    m_resultPicture->setAccessibleDescription(
        resultFile.isEmpty()
            ? QStringLiteral("\"%1\" writes no picture").arg(m_preset)
            : QStringLiteral("The same picture as \"%1\"%2 and the options make it: %3×%4")
                  .arg(m_preset, m_aimedSetting.isEmpty() ? QString() : QStringLiteral(" at ") + m_aimedSetting)
                  .arg(m_resultImage.width())
                  .arg(m_resultImage.height()));
    m_resultPicture->setText(resultFile.isEmpty() ? QStringLiteral("\"%1\" writes no picture.").arg(m_preset) : QString());
    m_picturesStale = false;
    dropPictureWork();
    showPictures();
    emit picturesShown();
}

void PreviewPanel::showPictureProblem(const QString &problem)
{
    m_resultImage = QImage();
    m_resultPicture->setText(problem);
    m_resultPicture->setAccessibleDescription(problem);
    m_picturesStale = false;
    dropPictureWork();
    showPictures();
    emit picturesShown();
}

void PreviewPanel::makeEstimate()
{
    const QString source = m_sources.value(0);
    m_step.clear();
    if (source.isEmpty() || !Presets::find(m_preset)) {
        m_estimate->setText(QStringLiteral("Estimate: choose a source and a preset."));
        m_estimateStale = false;
        emit estimateShown();
        return;
    }
    auto *planner = new TargetPlanner(this);
    m_estimateWork = planner;
    if (!m_programFolder.isEmpty())
        planner->setProgramFolder(m_programFolder);
    const auto done = [this](const QString &text) {
        m_estimate->setText(text);
        m_estimateStale = false;
        dropEstimateWork();
        emit estimateShown();
    };
    // Each step once, not each percent: a screen reader would hear every change.
    connect(planner, &TargetPlanner::progressed, this, [this](int, const QString &step) {
        if (step == m_step)
            return;
        m_step = step;
        m_estimate->setText(QStringLiteral("Estimate: %1…").arg(step));
    });
    connect(planner, &TargetPlanner::estimated, this, [this, done](const TargetPlanner::Plan &plan, const Estimate &estimate) {
        done(estimateSentence(plan, estimate));
        // A target's setting changes the look: the result is made again with it.
        if (!plan.setting.isEmpty()) {
            m_aimedLine = TargetPlanner::oneEncode(plan.arguments);
            m_aimedSetting = plan.setting;
            pictureLater();
        }
    });
    connect(planner, &TargetPlanner::failed, this,
            [done](const QString &reason) { done(QStringLiteral("No estimate: %1.").arg(reason)); });
    m_estimate->setText(QStringLiteral("Estimate: looking at the source…"));
    // What the pictures already read of the file is not read again.
    planner->estimate(TargetPlanner::request(m_preset, source, target(), m_options, m_info, m_crop));
}

void PreviewPanel::dropPictureWork()
{
    Samples *work = m_pictureWork;
    m_pictureWork = nullptr;
    if (!work)
        return;
    work->disconnect(this);
    if (work->busy()) {
        connect(work, &Samples::cancelled, work, &QObject::deleteLater);
        work->cancel();
    } else {
        work->deleteLater();
    }
}

void PreviewPanel::dropEstimateWork()
{
    TargetPlanner *work = m_estimateWork;
    m_estimateWork = nullptr;
    if (!work)
        return;
    work->disconnect(this);
    if (work->busy()) {
        connect(work, &TargetPlanner::cancelled, work, &QObject::deleteLater);
        connect(work, &TargetPlanner::failed, work, &QObject::deleteLater);
        work->cancel();
    } else {
        work->deleteLater();
    }
}

QString PreviewPanel::timeText(qint64 ms) const
{
    return ConversionOptions::timeText(std::max<qint64>(0, ms));
}
