#pragma once

#include "workflow/ConversionOptions.h"

#include <QString>

#include <cstdio>
#include <optional>

// The command line's flags for a conversion's options (--audio, --subtitles, --burn, --start,
// --end, --length, --crop, --no-metadata, --no-keep-date) and --probe, kept together apart from
// the rest of the parser.
namespace OptionFlags {

// Whether the long option (without its dashes) is one of these; takesValue says whether it needs
// a value.
bool knows(const QString &name);
bool takesValue(const QString &name);

// Sets the option from the flag and its value; a usage error naming the flag, or nothing.
std::optional<QString> take(const QString &name, const QString &value, ConversionOptions &options);

// The usage lines of these flags.
QString usage();

// What --probe prints of a source: a few lines, or one JSON object. The exit status: 0, or 1 when
// the source cannot be read.
int probe(const QString &source, bool json, std::FILE *out, std::FILE *messages);

} // namespace OptionFlags
