#include "workflow/TargetPlanner.h"

#include "engine/CommandLine.h"
#include "engine/EncoderSettings.h"
#include "protocol/Protocol.h"
#include "workflow/AsideWork.h"
#include "workflow/FileNameBytes.h"
#include "workflow/OptionPlan.h"
#include "workflow/Presets.h"
#include "workflow/ToolProcess.h"

#include <QLocale>
#include <QTimer>

#include <cmath>
#include <sys/stat.h>

namespace {

// The container's share of a file beside its streams.
constexpr double ContainerShare = 0.005;
// Fewer bits than this per pixel and frame is no picture worth the name, and no video gets less
// than MinVideoBitrate.
constexpr double MinBitsPerPixel = 0.002;
constexpr double MinVideoBitrate = 16000;
// The sound's bit rate of a source that states none, when the preset copies or keeps it.
constexpr qint64 UnknownSoundBitrate = 128000;
// A search stops once the samples' score is this close to the target, in dB.
constexpr double CloseEnough = 0.1;
// The first step of a search, in dB per unit of the quality setting, before two settings have
// been tried: about what x264 and x265 lose per CRF, and VP9 and SVT-AV1 on their wider scale.
constexpr double FineScaleSlope = -0.3;
constexpr double WideScaleSlope = -0.2;
// Time of a two-pass conversion beside one pass of the second kind.
constexpr double TwoPassTime = 1.8;

// "7.9M", "130k": rounded up to two significant digits, as --target-size takes it.
QString sizeText(double bytes)
{
    const char *units[] = {"", "k", "M", "G"};
    int unit = 0;
    while (bytes >= 1000 && unit < 3) {
        bytes /= 1000;
        ++unit;
    }
    const double step = bytes >= 10 ? 1 : 0.1;
    const double rounded = std::ceil(bytes / step - 1e-9) * step;
    return QString::number(rounded, 'f', step < 1 ? 1 : 0) + QLatin1String(units[unit]);
}

double toScale(const Target &target)
{
    return Target::onScale(target.metric, target.score);
}

// The score of a point on the dB scale in the target's own unit.
double fromScale(Target::Metric metric, double value)
{
    return metric == Target::Metric::Ssim ? 1 - std::pow(10.0, -value / 10) : value;
}

QString scoreText(Target::Metric metric, double value)
{
    switch (metric) {
    case Target::Metric::Ssim:
        return QStringLiteral("SSIM %1").arg(fromScale(metric, value), 0, 'f', 4);
    case Target::Metric::SsimDb:
        return QStringLiteral("SSIM %1 dB").arg(value, 0, 'f', 2);
    case Target::Metric::Psnr:
        return QStringLiteral("PSNR %1 dB").arg(value, 0, 'f', 2);
    }
    return QString();
}

// The classic presets' line as the job writes it, in their old syntax.
QStringList classicLine(const Preset &preset)
{
    EncoderSettings settings;
    for (const auto &[setting, value] : preset.values)
        settings.set(setting, QString::fromLatin1(value));
    settings.setFlag(Setting::DeInterlace, preset.deInterlace);
    settings.setFlag(Setting::SameQuality, preset.sameQuality);
    QStringList line = CommandLine::splitCommandLine(QStringLiteral("x ") + settings.options(false));
    line.removeFirst();
    return line;
}

bool copiesPicture(const QStringList &line)
{
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        const QString &option = line.at(i);
        if ((option == QLatin1String("-c") || option == QLatin1String("-c:v") || option == QLatin1String("-vcodec"))
            && line.at(i + 1) == QLatin1String("copy"))
            return true;
    }
    return false;
}

// Whether the options change the line beyond the span, which the samples take without them.
bool changesMoreThanSpan(ConversionOptions options)
{
    options.startMs.reset();
    options.endMs.reset();
    options.lengthMs.reset();
    return options.changesLine();
}

// The options of a conversion of that part alone.
ConversionOptions forPart(ConversionOptions options, double start, double seconds)
{
    options.startMs = qint64(std::llround(start * 1000));
    options.endMs.reset();
    options.lengthMs = std::max<qint64>(1, qint64(std::llround(seconds * 1000)));
    return options;
}

// The rectangle a block crops to ("W:H:X:Y"), or nothing.
QString cropOf(const QStringList &block)
{
    for (qsizetype i = 0; i + 1 < block.size(); i += 2) {
        if (block.at(i) == QLatin1String("-vf") && block.at(i + 1).startsWith(QLatin1String("crop=")))
            return block.at(i + 1).mid(5);
    }
    return QString();
}

// The sound tracks a block keeps: those it maps, or the preset's one when it maps none.
int soundTracksOf(const QStringList &block, const SourceInfo &info)
{
    int count = 0;
    for (qsizetype i = 0; i + 1 < block.size(); i += 2) {
        if (block.at(i) != QLatin1String("-map") || !block.at(i + 1).startsWith(QLatin1String("0:")))
            continue;
        bool number = false;
        const int index = block.at(i + 1).mid(2).toInt(&number);
        for (const SourceInfo::Stream &stream : info.streams)
            count += number && stream.index == index && stream.type == SourceInfo::Stream::Type::Audio;
    }
    return count > 0 ? count : 1;
}

} // namespace

TargetPlanner::TargetPlanner(QObject *parent)
    : QObject(parent), m_aside(new AsideWork(this))
{
    qRegisterMetaType<TargetPlanner::Plan>();
    connect(&m_samples, &Samples::progressed, this, &TargetPlanner::progressed);
    connect(&m_samples, &Samples::ready, this, &TargetPlanner::opened);
    connect(&m_samples, &Samples::failed, this, [this](const QString &reason) {
        m_busy = false;
        emit failed(reason);
    });
    connect(&m_samples, &Samples::cancelled, this, [this] {
        m_busy = false;
        emit cancelled();
    });
    connect(&m_samples, &Samples::measured, this, [this](const Samples::Measure &measure) {
        if (m_plan.arguments.isEmpty()) {
            measuredQuality(measure);
            return;
        }
        const Samples::Source &source = m_samples.source();
        Estimate estimate = Estimate::from(source, int(m_samples.spans().size()), measure, RateControl::encoderOf(m_plan.arguments));
        // A copy starts each sample at the key frame before it: the source's own bytes say more.
        if (copiesPicture(m_plan.arguments) && source.fileDuration > 0) {
            estimate.bytes = qint64(double(source.fileBytes) * source.duration / source.fileDuration);
            estimate.kbps = estimate.bytes * 8 / source.duration / 1000;
        }
        if (m_request.target.kind == Target::Kind::Size) {
            // The adapter holds the result to the size; the samples tell the time and the look.
            estimate.bytes = m_request.target.bytes;
            estimate.kbps = estimate.duration > 0 ? estimate.bytes * 8 / estimate.duration / 1000 : 0;
            if (m_plan.arguments.contains(QLatin1String(Protocol::TwoPassFlag)))
                estimate.seconds *= TwoPassTime;
        }
        m_busy = false;
        emit estimated(m_plan, estimate);
    });
}

TargetPlanner::~TargetPlanner()
{
    // What reads the source aside ends early; the aside work waits for it.
    if (m_stopPrepare)
        *m_stopPrepare = true;
}

std::optional<QString> TargetPlanner::refusal(const QString &preset, const Target &target)
{
    if (target.kind == Target::Kind::None)
        return std::nullopt;
    const QString option = target.kind == Target::Kind::Size ? QStringLiteral("--target-size") : QStringLiteral("--target-quality");
    const QString which = QStringLiteral(
        "%1 works with the presets for today's video devices and your own presets that encode with x264, x265, "
        "libvpx-vp9 or SVT-AV1; ").arg(option);
    const Preset *found = Presets::find(preset);
    if (!found)
        return std::nullopt;
    if (found->group == PresetGroup::Classic)
        return which + QStringLiteral("\"%1\" is one of the classic presets").arg(preset);
    if (RateControl::encoderOf(found->arguments) == RateControl::Encoder::Unknown)
        return which + QStringLiteral("\"%1\" encodes its picture with none of them").arg(preset);
    return std::nullopt;
}

QStringList TargetPlanner::oneEncode(QStringList line)
{
    line.removeIf([](const QString &argument) {
        return argument == QLatin1String(Protocol::TwoPassFlag) || argument.startsWith(QLatin1String(Protocol::FitSizePrefix));
    });
    return line;
}

QStringList TargetPlanner::lineOf(const Preset &preset)
{
    return preset.group == PresetGroup::Classic ? classicLine(preset) : preset.arguments;
}

TargetPlanner::Request TargetPlanner::request(const QString &preset, const QString &source, const Target &target,
                                              const ConversionOptions &options, const std::optional<SourceInfo> &info,
                                              const std::optional<CropDetect::Found> &crop)
{
    Request request;
    request.preset = preset;
    request.source = source;
    request.target = target;
    const Preset *chosen = Presets::find(preset);
    const ConversionOptions effective = chosen ? chosen->options.overriddenBy(options) : options;
    request.options = effective;
    request.info = info;
    request.crop = crop;
    if (effective.startMs)
        request.from = double(*effective.startMs) / 1000;
    if (effective.endMs)
        request.to = double(*effective.endMs) / 1000;
    else if (effective.lengthMs)
        request.to = request.from + double(*effective.lengthMs) / 1000;
    return request;
}

void TargetPlanner::plan(const Request &request)
{
    m_request = request;
    m_estimating = false;
    m_plan = Plan();
    m_tried.clear();
    m_busy = true;
    m_soundTracks = 1;
    if (m_stopPrepare)
        *m_stopPrepare = true;
    m_preparing = 0;
    const Preset *preset = Presets::find(request.preset);
    if (!preset) {
        m_busy = false;
        QMetaObject::invokeMethod(this, [this, request] { emit failed(request.preset + QStringLiteral(" is not defined")); },
                                  Qt::QueuedConnection);
        return;
    }
    m_extension = QString::fromUtf8(preset->extension);
    m_arguments = lineOf(*preset);
    m_known.reset();
    // A source that is no file is the samples' to refuse: reading it first would consume it.
    struct stat info {};
    const bool file = ::stat(FileNameBytes::encode(request.source).constData(), &info) == 0 && S_ISREG(info.st_mode);
    if (file && request.options.changesLine())
        prepare();
    else
        m_samples.open(request.source, request.from, request.to);
}

void TargetPlanner::estimate(const Request &request)
{
    plan(request);
    m_estimating = true;
}

void TargetPlanner::cancel()
{
    if (m_preparing) {
        m_preparing = 0;
        *m_stopPrepare = true;
        m_busy = false;
        QTimer::singleShot(0, this, &TargetPlanner::cancelled);
        return;
    }
    m_samples.cancel();
}

void TargetPlanner::opened()
{
    if (m_known && changesMoreThanSpan(m_request.options))
        makeBlocks();
    planFor();
}

// The options made for the whole span, refused as the conversion would refuse them; reading the
// source and its black bars when the request does not bring them.
void TargetPlanner::prepare()
{
    const Preset *preset = Presets::find(m_request.preset);
    Q_ASSERT(preset);
    const int number = ++m_prepares;
    m_preparing = number;
    m_stopPrepare = std::make_shared<std::atomic<bool>>(false);
    emit progressed(0, QStringLiteral("reading the source's tracks"));
    m_aside->run<Prepared>(
        [path = m_request.source, options = m_request.options, info = m_request.info, crop = m_request.crop,
         facts = OptionPlan::PresetFacts::of(*preset), stop = m_stopPrepare] {
            const ToolProcess::StopWhen stopping(stop.get());
            Prepared prepared;
            prepared.info = info && info->ok() ? *info : SourceInfo::read(path);
            if (!prepared.info.ok()) {
                prepared.refusal = prepared.info.error;
                return prepared;
            }
            prepared.crop = crop;
            const OptionPlan whole = OptionPlan::make(options, prepared.info, facts, [&prepared](const SourceInfo &source) {
                if (!prepared.crop)
                    prepared.crop = CropDetect::find(source);
                return *prepared.crop;
            });
            prepared.refusal = whole.refusal;
            return prepared;
        },
        [this, number](Prepared prepared) {
            if (number != m_preparing)
                return;
            m_preparing = 0;
            if (!prepared.refusal.isEmpty()) {
                m_busy = false;
                emit failed(prepared.refusal);
                return;
            }
            m_known = std::move(prepared);
            m_samples.open(m_request.source, m_request.from, m_request.to);
        });
}

// The options of each sample's own span, from what prepare() found: no tool runs.
void TargetPlanner::makeBlocks()
{
    const Preset *preset = Presets::find(m_request.preset);
    Q_ASSERT(preset);
    const OptionPlan::PresetFacts facts = OptionPlan::PresetFacts::of(*preset);
    const CropDetect::Found crop = m_known->crop.value_or(CropDetect::Found());
    const OptionPlan::CropFinder found = [crop](const SourceInfo &) { return crop; };
    const QList<Samples::Span> spans = m_samples.spans();
    const double end = m_request.from + m_samples.source().duration;
    Samples::OptionBlocks blocks;
    const auto blockOf = [&](double start, double seconds) {
        return OptionPlan::make(forPart(m_request.options, start, std::min(seconds, end - start)), m_known->info, facts, found)
            .arguments;
    };
    for (const Samples::Span &span : spans)
        blocks.samples << blockOf(span.start, span.seconds);
    blocks.timing = blockOf(spans.first().start, Samples::StartSeconds);
    const QStringList whole = blockOf(m_request.from, m_samples.source().duration);
    blocks.crop = cropOf(whole);
    m_soundTracks = soundTracksOf(whole, m_known->info);
    m_samples.setOptionBlocks(blocks);
}

void TargetPlanner::planFor()
{
    switch (m_request.target.kind) {
    case Target::Kind::None: {
        Plan plan;
        plan.arguments = m_arguments;
        finishPlan(plan);
        break;
    }
    case Target::Kind::Size:
        planSize();
        break;
    case Target::Kind::Quality:
        searchQuality();
        break;
    }
}

void TargetPlanner::finishPlan(const Plan &plan)
{
    m_plan = plan;
    if (!m_estimating) {
        m_busy = false;
        emit planned(plan);
        return;
    }
    const Preset *preset = Presets::find(m_request.preset);
    // A copy is the source's own picture: nothing to score.
    m_samples.measure(oneEncode(plan.arguments), m_extension, preset && preset->group != PresetGroup::Classic,
                      !copiesPicture(plan.arguments), true);
}

void TargetPlanner::planSize()
{
    const Samples::Source &source = m_samples.source();
    const double duration = source.duration;
    qint64 sound = 0;
    if (source.sound) {
        const std::optional<qint64> asked = RateControl::soundBitrate(m_arguments);
        sound = asked.value_or(source.soundBitrate > 0 ? source.soundBitrate : UnknownSoundBitrate) * m_soundTracks;
    }
    // The presets fit the picture into 1080p: a larger source is judged at that size.
    double pixels = double(source.size.width()) * source.size.height();
    pixels = std::min(pixels, 1920.0 * 1080);
    const double frameRate = source.frameRate > 0 ? source.frameRate : 25;
    const double minVideo = std::max(MinVideoBitrate, MinBitsPerPixel * pixels * frameRate);
    const double share = Protocol::FitAim * (1 - ContainerShare);
    const double bits = double(m_request.target.bytes) * 8 * share / duration;
    const double video = bits - double(sound);
    if (video < minVideo) {
        const double smallest = (minVideo + double(sound)) * duration / 8 / share;
        const QString why = bits <= double(sound)
            ? QStringLiteral("the sound alone takes %1 kb/s").arg(sound / 1000)
            : QStringLiteral("it leaves the picture %1 kb/s, and %2x%3 needs at least %4")
                  .arg(std::max(0.0, video) / 1000, 0, 'f', 0)
                  .arg(source.size.width())
                  .arg(source.size.height())
                  .arg(minVideo / 1000, 0, 'f', 0);
        m_busy = false;
        emit failed(QStringLiteral("%1 is too small for %2 s of this source: %3; the smallest reasonable size is %4 "
                                   "(--target-size %4)")
                        .arg(sizeText(double(m_request.target.bytes)), QString::number(duration, 'f', 1), why,
                             sizeText(smallest)));
        return;
    }
    const qint64 soundBytes = qint64(double(sound) * duration / 8);
    Plan plan;
    plan.arguments = RateControl::forSize(m_arguments, qint64(video), m_request.target.bytes, soundBytes);
    const bool twoPasses = plan.arguments.contains(QLatin1String(Protocol::TwoPassFlag));
    plan.setting = QStringLiteral("%1 kb/s").arg(video / 1000, 0, 'f', 0);
    plan.note = QStringLiteral("%1 of video for %2 (%3)")
                    .arg(plan.setting, m_request.target.shown(),
                         twoPasses ? QStringLiteral("two passes") : QStringLiteral("encoded again if it misses by over 3 %"));
    finishPlan(plan);
}

void TargetPlanner::searchQuality()
{
    const RateControl::Encoder encoder = RateControl::encoderOf(m_arguments);
    const std::optional<RateControl::Range> range = RateControl::qualityRange(encoder);
    if (!range) {
        m_busy = false;
        emit failed(*refusal(m_request.preset, m_request.target));
        return;
    }
    const double start = RateControl::quality(m_arguments).value_or((range->best + range->worst) / 2);
    m_tried.clear();
    m_samples.measure(RateControl::withQuality(m_arguments, start), m_extension);
}

double TargetPlanner::scoreOf(const Samples::Measure &measure) const
{
    if (m_request.target.metric == Target::Metric::Psnr)
        return measure.psnr.value_or(0);
    return Target::onScale(Target::Metric::Ssim, measure.ssim.value_or(0));
}

namespace {

struct Guess {
    double setting = 0;
    double score = 0;
    bool bracketed = false;
};

// The setting whose score is the target, by the line through the two tried settings that enclose
// it, or else through the two nearest it (a default slope for a single one); clamped to the range.
Guess guess(const QList<std::pair<double, double>> &tried, double target, const RateControl::Range &range, double slope)
{
    std::optional<std::pair<double, double>> better; // the largest setting at or above the target
    std::optional<std::pair<double, double>> worse;  // the smallest setting below it
    for (const auto &point : tried) {
        if (point.second >= target && (!better || point.first > better->first))
            better = point;
        if (point.second < target && (!worse || point.first < worse->first))
            worse = point;
    }
    Guess result;
    std::pair<double, double> a;
    std::pair<double, double> b;
    if (better && worse) {
        a = *better;
        b = *worse;
        result.bracketed = true;
    } else {
        QList<std::pair<double, double>> nearest = tried;
        std::sort(nearest.begin(), nearest.end(),
                  [target](const auto &x, const auto &y) { return std::abs(x.second - target) < std::abs(y.second - target); });
        a = nearest.first();
        b = nearest.size() > 1 ? nearest.at(1) : a;
    }
    if (a.first != b.first && (b.second - a.second) / (b.first - a.first) < -0.01)
        slope = (b.second - a.second) / (b.first - a.first);
    double setting = a.first + (target - a.second) / slope;
    setting = std::clamp(setting, range.best, range.worst);
    const double unit = std::pow(10.0, -range.decimals);
    setting = std::round(setting / unit) * unit;
    result.setting = setting;
    result.score = a.second + slope * (setting - a.first);
    return result;
}

} // namespace

void TargetPlanner::measuredQuality(const Samples::Measure &measure)
{
    if (!measure.ssim || !measure.psnr) {
        m_busy = false;
        emit failed(QStringLiteral("the preset's output has no picture to score"));
        return;
    }
    const double setting = RateControl::quality(measure.arguments).value_or(0);
    const double score = scoreOf(measure);
    m_tried.append({setting, score});
    const double target = toScale(m_request.target);
    const RateControl::Encoder encoder = RateControl::encoderOf(m_arguments);
    const RateControl::Range range = *RateControl::qualityRange(encoder);
    if (std::abs(score - target) <= CloseEnough || m_tried.size() >= MostRounds) {
        choose();
        return;
    }
    const double slope = range.worst > 51 ? WideScaleSlope : FineScaleSlope;
    const Guess next = guess(m_tried, target, range, slope);
    const double unit = std::pow(10.0, -range.decimals);
    const bool triedAlready = std::any_of(m_tried.begin(), m_tried.end(),
                                          [&](const auto &point) { return std::abs(point.first - next.setting) < unit / 2; });
    if (triedAlready) {
        choose();
        return;
    }
    m_samples.measure(RateControl::withQuality(m_arguments, next.setting), m_extension);
}

void TargetPlanner::choose()
{
    const RateControl::Encoder encoder = RateControl::encoderOf(m_arguments);
    const RateControl::Range range = *RateControl::qualityRange(encoder);
    const double target = toScale(m_request.target);
    const Target::Metric metric = m_request.target.metric;
    const double slope = range.worst > 51 ? WideScaleSlope : FineScaleSlope;
    Guess chosen = guess(m_tried, target, range, slope);
    // A setting tried is measured, not guessed.
    for (const auto &point : std::as_const(m_tried)) {
        if (std::abs(point.first - chosen.setting) < 1e-6)
            chosen.score = point.second;
    }
    Plan plan;
    plan.arguments = RateControl::withQuality(m_arguments, chosen.setting);
    plan.setting = RateControl::qualityText(encoder, chosen.setting);
    plan.sampleScore = fromScale(metric == Target::Metric::Psnr ? metric : Target::Metric::Ssim, chosen.score);
    if (metric == Target::Metric::SsimDb)
        plan.sampleScore = chosen.score;
    plan.sampleEncodes = int(m_tried.size());
    const bool atEnd = chosen.setting <= range.best || chosen.setting >= range.worst;
    plan.reached = chosen.bracketed || std::abs(chosen.score - target) <= CloseEnough || !atEnd;
    if (plan.reached) {
        plan.note = QStringLiteral("%1 for %2 (the samples: %3, %4 rounds)")
                        .arg(plan.setting, m_request.target.shown(), scoreText(metric, chosen.score))
                        .arg(plan.sampleEncodes);
    } else {
        plan.note = QStringLiteral("%1 is out of %2's reach (%3 gives %4 on the samples); converting at %3")
                        .arg(m_request.target.shown(), RateControl::encoderName(encoder), plan.setting,
                             scoreText(metric, chosen.score));
    }
    finishPlan(plan);
}
