#pragma once

#include <cstdio>

// --list-presets: one preset name per line in the window's order; with details, each preset's
// extension and the encoder options the job writes for it (before the adapter translates them),
// tab-separated; as JSON, one object per preset with all three.
void listPresets(std::FILE *out, bool details, bool json);
