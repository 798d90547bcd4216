#pragma once

#include "workflow/ConversionOptions.h"
#include "workflow/CropDetect.h"
#include "workflow/Estimate.h"
#include "workflow/Samples.h"
#include "workflow/SourceInfo.h"
#include "workflow/Target.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <optional>
#include <utility>

class AsideWork;
struct Preset;

// Turns a preset's line into the line of one conversion that meets a target, from the source's
// samples: for a size, the video bit rate the size leaves beside the sound (and the adapter's
// two passes and correction); for a quality, the quality setting found by encoding and scoring
// the samples a few times, interpolated between the settings tried. It also estimates what a
// line will give. Asynchronous and cancellable like the samples it runs.
//
// Every sample is encoded with the conversion's options made for its own span (tracks, subtitles,
// crop, burned subtitles), as the conversion will be; options that do not fit the source refuse
// the plan as they refuse the conversion. What that needs of the source (reading it, measuring
// its black bars) is read aside, never on the caller's thread, unless the request brings it.
class TargetPlanner : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(TargetPlanner)

public:
    struct Request {
        QString preset;
        QString source;
        Target target;
        // The converted span; to < 0 is the source's end.
        double from = 0;
        double to = -1;
        // The options over the preset's defaults; the span above is theirs.
        ConversionOptions options;
        // What the caller already knows of the source, so that it is not read again.
        std::optional<SourceInfo> info;
        std::optional<CropDetect::Found> crop;
    };
    struct Plan {
        QStringList arguments; // in place of the preset's, for this conversion
        QString setting;       // "CRF 23.4", "1234 kb/s in two passes"; empty without a target
        QString note;          // what the user reads about the choice
        std::optional<double> sampleScore; // a quality target's score on the samples, in its unit
        bool reached = true;   // false: the quality is out of the encoder's reach, the nearest is used
        int sampleEncodes = 0; // rounds of sample encodes the search took
    };

    // A request for the part of the source the conversion's options keep (over the preset's own
    // defaults): the samples and the size's bit rate then fit the trimmed span.
    static Request request(const QString &preset, const QString &source, const Target &target,
                           const ConversionOptions &options, const std::optional<SourceInfo> &info = std::nullopt,
                           const std::optional<CropDetect::Found> &crop = std::nullopt);

    // Each round encodes every sample once.
    static constexpr int MostRounds = 6;

    explicit TargetPlanner(QObject *parent = nullptr);
    ~TargetPlanner() override;

    void setProgramFolder(const QString &folder) { m_samples.setProgramFolder(folder); }

    // Why a target cannot be used with this preset, as a usage error; nothing when it can.
    static std::optional<QString> refusal(const QString &preset, const Target &target);
    // The preset's line as its samples encode it: a classic preset's in its old syntax, which the
    // adapter translates; the others' as written.
    static QStringList lineOf(const Preset &preset);
    // A plan's line as one encode of a sample: without the adapter's two passes and correction.
    static QStringList oneEncode(QStringList line);

    // planned() or failed() follows; a request without a target plans the preset's own line.
    void plan(const Request &request);
    // plan(), then the samples encoded with the planned line: estimated() or failed() follows.
    void estimate(const Request &request);
    void cancel();
    bool busy() const { return m_busy; }

signals:
    void progressed(int percent, const QString &step);
    void planned(const TargetPlanner::Plan &plan);
    void estimated(const TargetPlanner::Plan &plan, const Estimate &estimate);
    // An impossible size is a failure whose reason names the smallest reasonable one.
    void failed(const QString &reason);
    void cancelled();

private:
    // What the options need of the source, read aside.
    struct Prepared {
        QString refusal;
        SourceInfo info;
        std::optional<CropDetect::Found> crop;
    };

    void opened();
    void prepare();
    void makeBlocks();
    void planFor();
    void planSize();
    void searchQuality();
    void measuredQuality(const Samples::Measure &measure);
    void choose();
    void finishPlan(const Plan &plan);
    double scoreOf(const Samples::Measure &measure) const;

    Samples m_samples;
    Request m_request;
    QStringList m_arguments; // the preset's
    QString m_extension;
    bool m_estimating = false;
    bool m_busy = false;
    Plan m_plan;
    QList<std::pair<double, double>> m_tried; // setting, score on the dB scale
    AsideWork *m_aside = nullptr;
    int m_preparing = 0; // which prepare() a result answers; 0: none runs
    int m_prepares = 0;
    std::shared_ptr<std::atomic<bool>> m_stopPrepare;
    std::optional<Prepared> m_known;
    int m_soundTracks = 1; // the sound tracks the options keep
};

Q_DECLARE_METATYPE(TargetPlanner::Plan)
