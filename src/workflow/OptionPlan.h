#pragma once

#include "workflow/ConversionOptions.h"
#include "workflow/CropDetect.h"
#include "workflow/SourceInfo.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

struct Preset;

// A conversion's options made concrete for one source and one preset: which of the source's
// tracks, which span, which rectangle. The result is the option block the encoder adapter joins
// into the preset's line (the adapter's "--options" vocabulary: "-ss" before the input; "-map"
// replacing the preset's; "-vf" filters joined into its chain; "--burn-subtitles",
// "--burn-overlay" and "--note" of its own; every other pair an output option), or a refusal
// naming the option and the file when the options do not fit the source.
struct OptionPlan {
    // What a preset does, as far as the options care.
    struct PresetFacts {
        QString extension; // lower case, with its dot
        bool writesVideo = true;
        bool copies = false;         // the picture is copied, not encoded
        bool mapsEverything = false; // "-map 0": every track
        static PresetFacts of(const Preset &preset);
    };
    using CropFinder = std::function<CropDetect::Found(const SourceInfo &)>;

    QString refusal;
    QStringList arguments; // option, value, option, value, ...
    QStringList notes;     // what the user should know about the result
    // The length the destination is expected to last: the trimmed span, or the source's duration.
    // The one place where the span is computed; progress and checks of the result measure it.
    std::optional<double> spanSeconds;

    bool refused() const { return !refusal.isEmpty(); }

    static OptionPlan make(const ConversionOptions &options, const SourceInfo &source, const PresetFacts &preset,
                           const CropFinder &findCrop = CropDetect::find);
};
