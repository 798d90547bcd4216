#pragma once

#include "engine/EncoderSettings.h"

#include <QString>
#include <QStringList>

#include <vector>
#include <span>
#include <utility>

class AVC;

// The 27 target presets: for each display name, the destination extension, the weight whose
// rounded value is the job's SizeRatio, and the encoder settings it writes. Settings a preset
// does not list are left as the job holds them.
struct Preset {
    const char *name;
    const char *extension;
    double weight;  // 0 for a preset that sets its ratio directly
    int fixedRatio; // used when weight is 0
    std::vector<std::pair<Setting, const char *>> values;
    bool deInterlace;
    bool sameQuality;

    int sizeRatio() const;
};

namespace Presets {

std::span<const Preset> all();
QStringList names();

// The row with exactly this name (case-sensitive), or nullptr.
const Preset *find(const QString &name);

} // namespace Presets

// The destination extension of a preset, with its dot; empty for an unknown name.
QString FormatExtension(const QString &presetName);

// Applies a preset to the job and starts the conversion with overwrite on. An unknown name shows
// the "Not Supported" box and leaves the job alone. ratioField receives the applied ratio.
void ConvertAVI(AVC &job, const QString &FormatType, const QString &SrcPath, const QString &DestPath,
                int *ratioField = nullptr);
