#pragma once

#include "Translator.h"
#include "protocol/Protocol.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A conversion's options on top of its preset's line: the program resolves them against the
// source and passes them as one block, "--options N" and N arguments, option and value in pairs,
// before the job's "-i". They are joined into the translated line here, so that one rule serves
// the classic presets and the others:
//   -ss T                  sought before the input
//   -map M                 the block's maps replace every map of the line
//   -vf F                  joined into the line's one chain, after its deinterlacer and before
//                          the rest (the scaling), since ffmpeg keeps only the last -vf
//   --burn-subtitles K     the input's K-th subtitle track drawn into the picture, last in the chain
//   --burn-overlay V:S     the picture subtitle stream S laid over the video stream V
//   --note TEXT            a line for the user in the output
//   anything else          an output option, before the destination
// Subtitle codecs in the block lift the line's -sn; maps in it make the Matroska fit the
// program's. Without a block nothing changes.
namespace OptionArguments {

inline constexpr std::string_view Flag = Protocol::Options;

struct Block {
    std::vector<std::string> pairs;
};

// Takes the block from among the flags ahead of the job's "-i" (after "--as-written", "--span S"
// or before them). Nothing when there is none; an error text when it is malformed.
std::optional<Block> take(std::vector<std::string> &arguments, std::string &error);
// Takes "--span SECONDS" from among the flags ahead of the job's "-i": how long the converted
// part of the source lasts. Nothing when it is not there or not a length.
std::optional<double> takeSpan(std::vector<std::string> &arguments);

// Whether the block chooses the tracks itself.
bool mapsTracks(const Block &block);

// Joins the block into the translated line. Returns the input options, which go before the
// line's "-i" once the names are settled; the notes go into translation.notes.
std::vector<std::string> apply(Translation &translation, const Block &block);

// A file name as one value inside a filter graph (both escaping levels).
std::string filterPath(const std::string &path);
// The filters of a chain, split at the commas outside quotes and brackets.
std::vector<std::string> splitChain(std::string_view chain);

}
