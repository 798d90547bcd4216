#pragma once

#include <span>
#include <string_view>

// When a row of the translation applies, besides matching its option and value.
enum class When {
    Always,
    H264Video,     // the video codec is h264 / libx264
    BitrateGiven,  // -b is on the line
    AmrEncoder,    // the installed ffmpeg has libopencore_amrnb
    NoAmrEncoder,  // ... and it has not
    NoVideoCodec,  // no video codec is chosen and video is not switched off
    NoRateLimit,   // neither -bufsize nor -maxrate is on the line
};

// How the value of a translated option is formed.
enum class ValueRule {
    Keep,       // the old value, unchanged
    KiloBits,   // plain number below the limit: kbit/s, written with a k
    KiloBytes,  // plain number below the limit: kilobytes, written in bits
    Set,        // replaced by the row's newValue (also gives a value to an old flag)
};

// One old option (or one old option with one value) and what it becomes.
struct OptionRow {
    std::string_view option;     // as the presets write it
    std::string_view match;      // the value it applies to; empty: any value (or a flag)
    When when;
    std::string_view newOption;  // empty: dropped
    ValueRule rule;
    std::string_view newValue;   // for ValueRule::Set
    double plainLimit;           // for KiloBits / KiloBytes: plain numbers from here on stay as they are
    std::string_view reason;     // shown to the user with the substitution
};

// Options added for an output format (named by -f or by the destination's extension).
struct AdditionRow {
    std::string_view formats;    // blank-separated, lower case
    When when;
    std::string_view arguments;  // blank-separated
    std::string_view reason;
};

namespace TranslationTable {
// Rows are tried in order; the first that matches an option wins.
std::span<const OptionRow> options();
std::span<const AdditionRow> additions();
// Options that take a value, so that a value is never read as an option or as the destination.
bool takesValue(std::string_view option);
}
