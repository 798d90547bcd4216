#include "app/EstimateMode.h"

#include "app/CommandLinePlan.h"
#include "app/StopSignals.h"
#include "workflow/ClockText.h"
#include "workflow/FileNameBytes.h"
#include "workflow/TargetPlanner.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cmath>
#include <cstdio>

namespace CommandLineMode {

namespace {

double rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

void write(const QByteArray &text)
{
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
}

QJsonObject jsonOf(const QString &source, const QString &preset, const TargetPlanner::Plan &plan, const Estimate &e)
{
    QJsonObject event{{"event", "estimate"},  {"source", FileNameBytes::shown(source)},
                      {"preset", preset},     {"bytes", e.bytes},
                      {"kbps", rounded(e.kbps, 1)}, {"seconds", rounded(e.seconds, 1)},
                      {"duration", rounded(e.duration, 2)}, {"samples", e.samples}};
    if (e.ssim) {
        event.insert(QLatin1String("ssim"), rounded(*e.ssim, 5));
        event.insert(QLatin1String("ssim_db"), rounded(-10 * std::log10(std::max(1e-10, 1 - *e.ssim)), 2));
    }
    if (e.psnr)
        event.insert(QLatin1String("psnr"), rounded(*e.psnr, 2));
    if (!plan.setting.isEmpty()) {
        event.insert(QLatin1String("setting"), plan.setting);
        event.insert(QLatin1String("note"), plan.note);
        event.insert(QLatin1String("reached"), plan.reached);
    }
    return event;
}

QString humanOf(const QString &source, const QString &preset, const TargetPlanner::Plan &plan, const Estimate &e)
{
    const QLocale c = QLocale::c();
    QString text = QStringLiteral("%1 with \"%2\", %3 long:\n").arg(source, preset, clockText(qint64(e.duration * 1000)));
    text += QStringLiteral("  size     about %1 (%2 kb/s)\n")
                .arg(c.formattedDataSize(e.bytes, 1, QLocale::DataSizeSIFormat))
                .arg(e.kbps, 0, 'f', 0);
    text += QStringLiteral("  time     about %1 on this machine\n").arg(clockText(qint64(e.seconds * 1000)));
    if (e.ssim && e.psnr) {
        text += QStringLiteral("  quality  SSIM %1 (%2 dB), PSNR %3 dB\n")
                    .arg(*e.ssim, 0, 'f', 4)
                    .arg(-10 * std::log10(std::max(1e-10, 1 - *e.ssim)), 0, 'f', 2)
                    .arg(*e.psnr, 0, 'f', 2);
    }
    if (!plan.note.isEmpty())
        text += QStringLiteral("  setting  %1\n").arg(plan.note);
    text += QStringLiteral("  from %1 sample%2 of up to %3 s\n").arg(e.samples).arg(e.samples == 1 ? "" : "s").arg(Samples::SampleSeconds);
    return text;
}

} // namespace

int estimate(const CommandLinePlan &plan)
{
    TargetPlanner planner;
    qsizetype next = 0;
    int failures = 0;
    int stopSignal = 0;
    const auto startNext = [&] {
        if (stopSignal != 0 || next >= plan.items.size()) {
            QCoreApplication::exit(stopSignal != 0 ? 128 + stopSignal : failures > 0 ? 1 : 0);
            return;
        }
        planner.estimate(TargetPlanner::request(plan.preset, plan.items.at(next).source, plan.target, plan.options));
    };
    QObject::connect(&planner, &TargetPlanner::estimated, [&](const TargetPlanner::Plan &chosen, const Estimate &e) {
        const QString &source = plan.items.at(next).source;
        if (plan.json)
            write(QJsonDocument(jsonOf(source, plan.preset, chosen, e)).toJson(QJsonDocument::Compact) + '\n');
        else
            write(FileNameBytes::encode(humanOf(source, plan.preset, chosen, e)));
        ++next;
        QMetaObject::invokeMethod(&planner, startNext, Qt::QueuedConnection);
    });
    QObject::connect(&planner, &TargetPlanner::failed, [&](const QString &reason) {
        const QString &source = plan.items.at(next).source;
        std::fprintf(stderr, "vidomar: %s: %s\n", FileNameBytes::encode(source).constData(), FileNameBytes::encode(reason).constData());
        std::fflush(stderr);
        if (plan.json)
            write(QJsonDocument(QJsonObject{{"event", "failed"}, {"source", FileNameBytes::shown(source)}, {"reason", reason}})
                      .toJson(QJsonDocument::Compact)
                  + '\n');
        ++failures;
        ++next;
        QMetaObject::invokeMethod(&planner, startNext, Qt::QueuedConnection);
    });
    QObject::connect(&planner, &TargetPlanner::cancelled, [&] { QCoreApplication::exit(128 + stopSignal); });
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::received, [&](int received) {
        if (stopSignal != 0)
            return;
        stopSignal = received;
        if (planner.busy())
            planner.cancel();
        else
            QCoreApplication::exit(128 + stopSignal);
    });
    QMetaObject::invokeMethod(&planner, startNext, Qt::QueuedConnection);
    return QCoreApplication::exec();
}

} // namespace CommandLineMode
