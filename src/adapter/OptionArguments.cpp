#include "OptionArguments.h"

#include "FileNames.h"

#include <algorithm>
#include <charconv>

namespace {

std::string escaped(std::string_view text, std::string_view special)
{
    std::string out;
    for (const char c : text) {
        if (special.find(c) != std::string_view::npos)
            out += '\\';
        out += c;
    }
    return out;
}

std::string joined(const std::vector<std::string> &filters)
{
    std::string chain;
    for (const std::string &filter : filters)
        chain += (chain.empty() ? "" : ",") + filter;
    return chain;
}

bool isDeinterlacer(const std::string &filter)
{
    return filter.starts_with("yadif") || filter.starts_with("bwdif") || filter.starts_with("w3fdif");
}

// The line's own options end before the destination, or at its end when none is known.
std::size_t outputEnd(const Translation &translation)
{
    return translation.destination ? *translation.destination : translation.arguments.size();
}

void erase(Translation &translation, std::size_t at, std::size_t count)
{
    translation.arguments.erase(translation.arguments.begin() + long(at), translation.arguments.begin() + long(at + count));
    if (translation.destination && *translation.destination > at)
        *translation.destination -= count;
}

void insert(Translation &translation, std::size_t at, const std::vector<std::string> &tokens)
{
    translation.arguments.insert(translation.arguments.begin() + long(at), tokens.begin(), tokens.end());
    if (translation.destination && *translation.destination >= at)
        *translation.destination += tokens.size();
}

// Removes each "option value" pair the test picks from the line's options (the job's own "-i
// SOURCE" stays). Returns the removed values.
template <typename Test> std::vector<std::string> removePairs(Translation &translation, Test picks)
{
    std::vector<std::string> values;
    for (std::size_t i = 2; i + 1 < outputEnd(translation);) {
        if (picks(translation.arguments[i])) {
            values.push_back(translation.arguments[i + 1]);
            erase(translation, i, 2);
        } else {
            ++i;
        }
    }
    return values;
}

void removeFlag(Translation &translation, std::string_view flag)
{
    for (std::size_t i = 2; i < outputEnd(translation);) {
        if (translation.arguments[i] == flag)
            erase(translation, i, 1);
        else
            ++i;
    }
}

}

namespace OptionArguments {

std::optional<Block> take(std::vector<std::string> &arguments, std::string &error)
{
    const auto input = std::ranges::find(arguments, "-i");
    const auto flag = std::find(arguments.begin(), input, Flag);
    if (flag == input)
        return std::nullopt;
    const std::size_t at = std::size_t(flag - arguments.begin());
    std::size_t count = 0;
    const std::string &number = at + 1 < arguments.size() ? arguments[at + 1] : std::string();
    const auto [end, failure] = std::from_chars(number.data(), number.data() + number.size(), count);
    if (failure != std::errc() || end != number.data() + number.size() || count % 2 != 0
        || arguments.size() < at + 2 + count) {
        error = "avformat.dll: the option block is malformed";
        return std::nullopt;
    }
    Block block;
    block.pairs.assign(arguments.begin() + long(at + 2), arguments.begin() + long(at + 2 + count));
    arguments.erase(arguments.begin() + long(at), arguments.begin() + long(at + 2 + count));
    return block;
}

std::optional<double> takeSpan(std::vector<std::string> &arguments)
{
    const auto input = std::ranges::find(arguments, "-i");
    const auto flag = std::find(arguments.begin(), input, std::string_view(Protocol::Span));
    if (flag == input || std::next(flag) == input)
        return std::nullopt;
    const std::string value = *std::next(flag);
    arguments.erase(flag, std::next(flag, 2));
    double seconds = 0;
    const auto [end, failure] = std::from_chars(value.data(), value.data() + value.size(), seconds);
    if (failure != std::errc() || end != value.data() + value.size() || seconds < 0)
        return std::nullopt;
    return seconds;
}

bool mapsTracks(const Block &block)
{
    for (std::size_t i = 0; i < block.pairs.size(); i += 2) {
        if (block.pairs[i] == "-map")
            return true;
    }
    return false;
}

std::string filterPath(const std::string &path)
{
    return escaped(escaped(path, "\\':"), "\\'[],;");
}

std::vector<std::string> splitChain(std::string_view chain)
{
    std::vector<std::string> filters;
    std::string current;
    bool quoted = false;
    int brackets = 0;
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const char c = chain[i];
        if (c == '\\' && i + 1 < chain.size()) {
            current += c;
            current += chain[++i];
            continue;
        }
        if (c == '\'')
            quoted = !quoted;
        else if (!quoted && c == '[')
            ++brackets;
        else if (!quoted && c == ']')
            --brackets;
        if (c == ',' && !quoted && brackets == 0) {
            filters.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        filters.push_back(current);
    return filters;
}

std::vector<std::string> apply(Translation &translation, const Block &block)
{
    std::vector<std::string> input;
    std::vector<std::string> maps;
    std::vector<std::string> filters;
    std::vector<std::string> output;
    std::string start;
    std::optional<std::string> burnTrack;
    std::optional<std::string> overlay;
    bool subtitleCodecs = false;
    for (std::size_t i = 0; i + 1 < block.pairs.size(); i += 2) {
        const std::string &option = block.pairs[i];
        const std::string &value = block.pairs[i + 1];
        if (option == "-ss") {
            input.insert(input.end(), {option, value});
            start = value;
        } else if (option == "-map") {
            maps.insert(maps.end(), {option, value});
        } else if (option == "-vf") {
            filters.push_back(value);
        } else if (option == "--burn-subtitles") {
            burnTrack = value;
        } else if (option == "--burn-overlay") {
            overlay = value;
        } else if (option == "--note") {
            translation.notes.push_back("avformat.dll: " + value);
        } else {
            subtitleCodecs = subtitleCodecs || option.starts_with("-c:s") || option.starts_with("-codec:s");
            output.insert(output.end(), {option, value});
        }
    }
    const bool jobInput = translation.arguments.size() > 1 && translation.arguments[0] == "-i";
    if (burnTrack && jobInput) {
        // The filter reads the subtitles from the file itself, on the file's own clock: the
        // frames are set back onto it around the filter when the start was sought.
        const std::string subtitles = "subtitles=filename=" + filterPath(FileNames::asFileName(translation.arguments[1]))
            + ":si=" + *burnTrack;
        if (start.empty()) {
            filters.push_back(subtitles);
        } else {
            filters.push_back("setpts=PTS+" + start + "/TB");
            filters.push_back(subtitles);
            filters.push_back("setpts=PTS-" + start + "/TB");
        }
    }

    if (!maps.empty())
        removePairs(translation, [](const std::string &option) { return option == "-map"; });
    if (subtitleCodecs)
        removeFlag(translation, "-sn");

    if (!filters.empty() || overlay) {
        // The line's chain, with the block's filters after its deinterlacer.
        const std::vector<std::string> own = removePairs(
            translation, [](const std::string &option) { return option == "-vf" || option == "-filter:v"; });
        std::vector<std::string> chain;
        for (const std::string &value : own) {
            for (std::string &filter : splitChain(value))
                chain.push_back(std::move(filter));
        }
        const auto rest = std::find_if_not(chain.begin(), chain.end(), isDeinterlacer);
        chain.insert(rest, filters.begin(), filters.end());
        if (overlay) {
            const std::size_t colon = overlay->find(':');
            const std::string graph = "[0:" + overlay->substr(0, colon) + "][0:" + overlay->substr(colon + 1)
                + "]overlay=eof_action=pass" + (chain.empty() ? "" : "," + joined(chain)) + "[burned]";
            insert(translation, outputEnd(translation), {"-filter_complex", graph, "-map", "[burned]"});
        } else {
            insert(translation, outputEnd(translation), {"-vf", joined(chain)});
        }
    }
    insert(translation, outputEnd(translation), maps);
    insert(translation, outputEnd(translation), output);
    return input;
}

}
