#pragma once

#include "workflow/ConversionOptions.h"
#include "workflow/SourceInfo.h"

#include <QList>
#include <QString>

// What the Options panel's track lists offer for the sources in hand: the fixed choices, each
// track by its number (named by language and title as the first file holding it tags it), and
// every language any of the files holds, once ("ger" and "deu" are one language). A track chosen
// by language then takes each file's own track in it.
namespace TrackChoices {

enum class List { Sound, Subtitles, Burn };

struct Choice {
    QString text;
    ConversionOptions::Tracks tracks;
};

QList<Choice> choices(List list, const QList<SourceInfo> &sources);

// The text for a choice that the sources do not offer (set before they were read, or from a
// preset): shown as it is, so that nothing chosen is lost.
QString textFor(const ConversionOptions::Tracks &tracks, List list);

// "deu · Commentary · 2 channels", "fra · Forced French · forced"
QString describe(const SourceInfo::Stream &stream);

} // namespace TrackChoices
