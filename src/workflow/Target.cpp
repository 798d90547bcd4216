#include "workflow/Target.h"

#include <QLocale>
#include <QRegularExpression>

#include <array>
#include <cmath>
#include <utility>

namespace {

// The largest size taken: no file system holds a single file much beyond.
constexpr double MaxBytes = 1e15;

constexpr std::array<std::pair<Target::Metric, const char *>, 3> MetricNames{{
    {Target::Metric::Ssim, "ssim"},
    {Target::Metric::SsimDb, "ssim-db"},
    {Target::Metric::Psnr, "psnr"},
}};

QString metricName(Target::Metric metric)
{
    for (const auto &[m, name] : MetricNames) {
        if (m == metric)
            return QLatin1String(name);
    }
    return QString();
}

// A score that can be reached at all, in the metric's unit.
bool plausible(Target::Metric metric, double score)
{
    switch (metric) {
    case Target::Metric::Ssim:
        return score > 0 && score < 1;
    case Target::Metric::SsimDb:
        return score > 0 && score <= 60;
    case Target::Metric::Psnr:
        return score >= 10 && score <= 100;
    }
    return false;
}

QString number(double value)
{
    return QString::number(value, 'g', 10);
}

} // namespace

std::variant<Target, QString> Target::parseSize(QStringView text)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]+(?:\\.[0-9]+)?)\\s*([kKmMgG]?)[bB]?$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return QStringLiteral("\"%1\" is not a size; give it as 25M, 700MB, 1.4G or 900k").arg(text);
    double bytes = match.captured(1).toDouble();
    const QString unit = match.captured(2).toLower();
    switch (unit.isEmpty() ? 0 : unit.at(0).unicode()) {
    case 'k':
        bytes *= 1e3;
        break;
    case 'm':
        bytes *= 1e6;
        break;
    case 'g':
        bytes *= 1e9;
        break;
    default:
        break;
    }
    if (bytes < 1 || bytes > MaxBytes)
        return QStringLiteral("\"%1\" is no size a file can have").arg(text);
    Target target;
    target.kind = Kind::Size;
    target.bytes = qint64(std::llround(bytes));
    return target;
}

std::variant<Target, QString> Target::parseQuality(QStringView text)
{
    const qsizetype colon = text.indexOf(u':');
    const QString usage = QStringLiteral("; give it as ssim:0.985, ssim-db:19 or psnr:42");
    if (colon < 0)
        return QStringLiteral("\"%1\" names no measure").arg(text) + usage;
    const QStringView name = text.left(colon).trimmed();
    bool ok = false;
    const double score = text.mid(colon + 1).trimmed().toDouble(&ok);
    for (const auto &[metric, metricText] : MetricNames) {
        if (name.compare(QLatin1String(metricText), Qt::CaseInsensitive) != 0)
            continue;
        if (!ok || !std::isfinite(score) || !plausible(metric, score))
            return QStringLiteral("\"%1\" is no score %2 can reach").arg(text.mid(colon + 1), name) + usage;
        Target target;
        target.kind = Kind::Quality;
        target.metric = metric;
        target.score = score;
        return target;
    }
    return QStringLiteral("\"%1\" is not a measure this program knows").arg(name) + usage;
}

QString Target::text() const
{
    switch (kind) {
    case Kind::None:
        return QString();
    case Kind::Size:
        return QStringLiteral("size:%1").arg(bytes);
    case Kind::Quality:
        return metricName(metric) + QLatin1Char(':') + number(score);
    }
    return QString();
}

std::optional<Target> Target::fromText(QStringView text)
{
    if (text.isEmpty())
        return Target{};
    if (text.startsWith(QLatin1String("size:"))) {
        bool ok = false;
        const qint64 bytes = text.mid(5).toLongLong(&ok);
        if (!ok || bytes < 1 || double(bytes) > MaxBytes)
            return std::nullopt;
        Target target;
        target.kind = Kind::Size;
        target.bytes = bytes;
        return target;
    }
    const std::variant<Target, QString> quality = parseQuality(text);
    if (const Target *target = std::get_if<Target>(&quality))
        return *target;
    return std::nullopt;
}

QString Target::shown() const
{
    switch (kind) {
    case Kind::None:
        return QString();
    case Kind::Size:
        return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
    case Kind::Quality:
        switch (metric) {
        case Metric::Ssim:
            return QStringLiteral("SSIM ") + number(score);
        case Metric::SsimDb:
            return QStringLiteral("SSIM ") + number(score) + QStringLiteral(" dB");
        case Metric::Psnr:
            return QStringLiteral("PSNR ") + number(score) + QStringLiteral(" dB");
        }
    }
    return QString();
}

double Target::onScale(Metric metric, double score)
{
    if (metric == Metric::Ssim)
        return -10 * std::log10(std::max(1e-10, 1 - score));
    return score;
}
