#pragma once

#include "engine/EncoderSettings.h"
#include "workflow/ConversionOptions.h"

#include <QString>
#include <QStringList>

#include <vector>
#include <span>
#include <utility>

class AVC;

// The program's own presets come in two groups: the 27 classic ones, which write some of the
// job's settings and leave the others as the job holds them, and a group for today's devices,
// kept as data. The user's own presets, read from a file at start, follow them.
enum class PresetGroup { Classic, Modern, User };

// One preset: its display name (UTF-8), the destination extension, the weight whose rounded value
// is the job's SizeRatio, and what it writes into the job. A classic preset writes its values and
// flags; the others clear the job and put their arguments on ExtraOptions alone.
struct Preset {
    const char *name;
    const char *extension;
    double weight;  // 0 for a preset that sets its ratio directly
    int fixedRatio; // used when weight is 0
    std::vector<std::pair<Setting, const char *>> values;
    bool deInterlace;
    bool sameQuality;
    PresetGroup group = PresetGroup::Classic;
    QStringList arguments = {}; // in today's ffmpeg syntax, for the groups that are data
    ConversionOptions options = {}; // the user's defaults for the conversion's options

    int sizeRatio() const;
};

namespace Presets {

// Every preset in the window's list order: the classic group, today's devices, the user's own.
// The list is read on the first use; a missing or damaged group of the program's own stops the
// program with a message. A broken entry of the user's file is left out and listed in problems().
std::span<const Preset> all();
QStringList names();

// What is wrong with the user's file, one line each (the file, the entry, what); the front end
// that loads the list reports them once.
QStringList problems();
// Whether the list has been read, by any of these functions.
bool loaded();

// The row with exactly this name (case-sensitive), or nullptr.
const Preset *find(const QString &name);

} // namespace Presets

// The destination extension of a preset, with its dot; empty for an unknown name.
QString FormatExtension(const QString &presetName);

// Writes a preset's settings into the job: a classic preset's over the settings it holds, one of
// today's or the user's in place of them all. An unknown name shows the "Not Supported" box,
// leaves the job alone and gives false. ratioField receives the applied ratio; optionArguments are
// the conversion's options resolved for the source (OptionPlan), none by default.
bool applyPreset(AVC &job, const QString &FormatType, int *ratioField = nullptr,
                 const QStringList &optionArguments = {}, const QStringList *arguments = nullptr);

// The encoder options a preset gives a job, as the job writes them (before the adapter translates
// the classic ones); empty for an unknown name.
QString presetOptions(const QString &name);

// Applies a preset to the job and starts the conversion with overwrite on. An unknown name shows
// the "Not Supported" box and leaves the job alone. ratioField receives the applied ratio;
// optionArguments are the conversion's options resolved for the source (OptionPlan), none by
// default. arguments: a line in today's syntax in place of the preset's (a target's), for a preset
// of the data groups; the options still go on top of it.
void ConvertAVI(AVC &job, const QString &FormatType, const QString &SrcPath, const QString &DestPath,
                int *ratioField = nullptr, const QStringList &optionArguments = {},
                const QStringList *arguments = nullptr);
