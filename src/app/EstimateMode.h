#pragma once

struct CommandLinePlan;

namespace CommandLineMode {

// --estimate: what each conversion of the plan would give, from samples of its source, one source
// after another; writes no file. Human text or, with --json, one "estimate" object per source on
// stdout. The exit status as for conversions: 1 when a source could not be estimated.
int estimate(const CommandLinePlan &plan);

} // namespace CommandLineMode
