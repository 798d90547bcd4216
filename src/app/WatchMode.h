#pragma once

#include "app/CommandLinePlan.h"

// vidomar --watch IN -d OUT: converts each media file that settles below IN into the mirrored
// place under OUT, until a stop signal. Returns the exit status: 0 once stopped cleanly.
namespace WatchMode {

int run(const CommandLinePlan &plan);

} // namespace WatchMode
