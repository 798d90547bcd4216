#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <variant>

// What a conversion aims at beyond its preset: a size for the whole file, or a quality score the
// picture must reach. None converts with the preset as it is.
struct Target {
    enum class Kind { None, Size, Quality };
    // SSIM as a share (0.985), SSIM in decibels (-10 log10(1 - SSIM)) and PSNR in decibels.
    enum class Metric { Ssim, SsimDb, Psnr };

    Kind kind = Kind::None;
    qint64 bytes = 0;           // Size: the whole file
    Metric metric = Metric::Ssim; // Quality
    double score = 0;           // Quality: in the metric's unit

    // "25M", "700MB", "1.4G", "900k", "123456": K, M and G are powers of 1000; a reason when the
    // text is not a size.
    static std::variant<Target, QString> parseSize(QStringView text);
    // "ssim:0.985", "ssim-db:19", "psnr:42".
    static std::variant<Target, QString> parseQuality(QStringView text);

    // "size:25000000" or "ssim:0.985", as the recovery file stores it; empty for None.
    QString text() const;
    // The inverse of text(); nothing for anything else.
    static std::optional<Target> fromText(QStringView text);
    // What the user reads: "25 MB", "SSIM 0.985", "SSIM 19 dB", "PSNR 42 dB".
    QString shown() const;

    // The score as SSIM in decibels, for comparing a metric with itself on one scale: SSIM is
    // turned into dB, PSNR stays as it is.
    static double onScale(Metric metric, double score);

    bool operator==(const Target &) const = default;
};
