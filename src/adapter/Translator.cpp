#include "Translator.h"

#include "TranslationTable.h"
#include "protocol/Protocol.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <utility>

namespace {

const std::string Prefix = Protocol::OutputPrefix;

// One option with its value, or one free argument (an output file, or a value ffmpeg reads on its own).
struct Item {
    std::string option;
    std::optional<std::string> value;
    bool free = false;

    std::vector<std::string> tokens() const
    {
        std::vector<std::string> result{option};
        if (value)
            result.push_back(*value);
        return result;
    }
};

// ffmpeg's option names are letters, digits, '_' and ':' (stream specifiers): "-y.mp4" is a name.
bool isOption(std::string_view token)
{
    return token.size() > 1 && token.front() == '-' && std::ranges::all_of(token.substr(1), [](unsigned char c) {
        return std::isalnum(c) || c == '_' || c == ':';
    });
}

std::vector<Item> parse(const std::vector<std::string> &arguments)
{
    std::vector<Item> items;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &token = arguments[i];
        if (isOption(token)) {
            if (TranslationTable::takesValue(token) && i + 1 < arguments.size())
                items.push_back({token, arguments[++i]});
            else
                items.push_back({token, std::nullopt});
        } else {
            items.push_back({token, std::nullopt, true});
        }
    }
    return items;
}

std::string join(const std::vector<std::string> &parts, const char *separator = " ")
{
    std::string text;
    for (const std::string &part : parts)
        text += (text.empty() ? "" : separator) + part;
    return text;
}

std::vector<std::string> split(std::string_view text)
{
    std::vector<std::string> tokens;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(' '), text.size());
        if (end > 0)
            tokens.emplace_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return tokens;
}

std::string lower(std::string_view text)
{
    std::string result(text);
    std::ranges::transform(result, result.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return result;
}

std::optional<double> plainNumber(std::string_view value)
{
    if (value.empty() || !std::ranges::all_of(value, [](char c) { return (c >= '0' && c <= '9') || c == '.'; }))
        return std::nullopt;
    double number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size())
        return std::nullopt;
    return number;
}

std::string newValue(const OptionRow &row, const std::string &old)
{
    switch (row.rule) {
    case ValueRule::Keep:
        return old;
    case ValueRule::Set:
        return std::string(row.newValue);
    case ValueRule::KiloBits: {
        const auto number = plainNumber(old);
        return number && *number < row.plainLimit ? old + "k" : old;
    }
    case ValueRule::KiloBytes: {
        const auto number = plainNumber(old);
        return number && *number < row.plainLimit ? std::to_string(std::llround(*number * 8192)) : old;
    }
    }
    return old;
}

bool isVideoCodecOption(std::string_view option)
{
    return option == "-vcodec" || option == "-c:v" || option == "-codec:v";
}

// Options that choose streams or codecs the way today's ffmpeg does; the presets of old had none.
bool isTodaysCodecOption(std::string_view option)
{
    return option == "-c" || option == "-codec" || option.starts_with("-c:") || option.starts_with("-codec:")
        || option == "-vn" || option == "-an" || option == "-sn" || option == "-dn" || option == "-map";
}

// What the rows' conditions look at; the encoder query runs at most once and only when asked.
class Facts {
public:
    Facts(const std::vector<Item> &items, const Translator::EncoderProbe &hasEncoder)
        : m_hasEncoder(hasEncoder)
    {
        for (const Item &item : items) {
            if (item.option == "-b")
                m_bitrate = true;
            if (item.option == "-bufsize" || item.option == "-maxrate")
                m_rateLimit = true;
            if (item.option == "-vn")
                m_videoCodec = true;
            if (isTodaysCodecOption(item.option))
                m_todaysSyntax = true;
            if (isVideoCodecOption(item.option) && item.value) {
                m_videoCodec = true;
                m_h264 = *item.value == "h264" || *item.value == "libx264";
            }
        }
    }

    // The line names its streams and codecs itself, so the old defaults stay out of it.
    bool todaysSyntax() const { return m_todaysSyntax; }

    bool holds(When when) const
    {
        switch (when) {
        case When::Always:
            return true;
        case When::H264Video:
            return m_h264;
        case When::BitrateGiven:
            return m_bitrate;
        case When::AmrEncoder:
            return amrEncoder();
        case When::NoAmrEncoder:
            return !amrEncoder();
        case When::NoVideoCodec:
            return !m_videoCodec;
        case When::NoRateLimit:
            return !m_rateLimit;
        }
        return false;
    }

private:
    bool amrEncoder() const
    {
        if (m_amrEncoder == Unknown)
            m_amrEncoder = m_hasEncoder && m_hasEncoder("libopencore_amrnb") ? Yes : No;
        return m_amrEncoder == Yes;
    }

    const Translator::EncoderProbe &m_hasEncoder;
    bool m_bitrate = false;
    bool m_rateLimit = false;
    bool m_videoCodec = false;
    bool m_h264 = false;
    bool m_todaysSyntax = false;
    enum Answer { Unknown, Yes, No };
    mutable Answer m_amrEncoder = Unknown;
};

const OptionRow *findRow(const Item &item, const Facts &facts)
{
    for (const OptionRow &row : TranslationTable::options()) {
        if (row.option == item.option && (row.match.empty() || item.value == row.match) && facts.holds(row.when))
            return &row;
    }
    return nullptr;
}

std::string note(std::string_view reason, std::string_view action, const std::string &what)
{
    return Prefix + std::string(reason) + "; " + std::string(action) + " " + what;
}

// The output format as ffmpeg picks it: the last -f after the last -i, else the file's extension.
std::string outputFormat(const std::vector<Item> &items, std::optional<std::size_t> destination)
{
    std::string format;
    for (const Item &item : items) {
        if (item.option == "-i")
            format.clear();
        else if (item.option == "-f" && item.value)
            format = *item.value;
    }
    if (!format.empty() || !destination)
        return lower(format);
    const std::string &path = items[*destination].option;
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return lower(path.substr(dot + 1));
}

// Several -vf options: ffmpeg would keep only the last, so they become one chain in order, with the
// deinterlacer first because it must see the original fields.
void mergeVideoFilters(std::vector<Item> &items)
{
    const auto isFilter = [](const Item &item) { return item.option == "-vf" && item.value; };
    const auto first = std::ranges::find_if(items, isFilter);
    if (first == items.end())
        return;
    std::vector<std::string> chain;
    for (const Item &item : items) {
        if (isFilter(item))
            chain.push_back(*item.value);
    }
    // The iterator form: clang 14 cannot compile the ranges form against libstdc++ 12.
    std::stable_partition(chain.begin(), chain.end(), [](const std::string &filter) { return filter == "yadif"; });
    first->value = join(chain, ",");
    items.erase(std::remove_if(std::next(first), items.end(), isFilter), items.end());
}

}

Translator::Translator(EncoderProbe hasEncoder)
    : m_hasEncoder(std::move(hasEncoder))
{
}

Translation Translator::translate(const std::vector<std::string> &oldArguments) const
{
    Translation result;
    std::vector<Item> items = parse(oldArguments);
    std::optional<std::size_t> destination;
    if (!items.empty() && items.back().free)
        destination = items.size() - 1;
    const Facts facts(items, m_hasEncoder);

    std::vector<Item> translated;
    for (const Item &item : items) {
        const OptionRow *row = item.free ? nullptr : findRow(item, facts);
        if (!row || (TranslationTable::takesValue(item.option) && !item.value)) {
            translated.push_back(item);
            continue;
        }
        if (row->newOption.empty()) {
            result.notes.push_back(note(row->reason, "dropping", join(item.tokens())));
            continue;
        }
        Item changed{std::string(row->newOption), std::nullopt};
        if (item.value || row->rule == ValueRule::Set)
            changed.value = newValue(*row, item.value.value_or(std::string()));
        if (changed.tokens() != item.tokens()) {
            const bool sameOption = changed.option == item.option;
            result.notes.push_back(note(row->reason, "using", sameOption ? changed.value.value_or("") : join(changed.tokens())));
        }
        translated.push_back(std::move(changed));
    }

    // Additions stand in for what the old ffmpeg did by default; a line in today's syntax has made
    // those choices itself.
    if (destination && !facts.todaysSyntax()) {
        const std::string format = outputFormat(items, destination);
        std::vector<Item> added;
        for (const AdditionRow &row : TranslationTable::additions()) {
            const std::vector<std::string> formats = split(row.formats);
            if (format.empty() || std::ranges::find(formats, format) == formats.end() || !facts.holds(row.when))
                continue;
            const std::vector<std::string> tokens = split(row.arguments);
            result.notes.push_back(note(row.reason, "adding", join(tokens)));
            for (const Item &item : parse(tokens))
                added.push_back(item);
        }
        translated.insert(translated.end() - 1, added.begin(), added.end());
    }
    mergeVideoFilters(translated);

    for (const Item &item : translated) {
        for (std::string &token : item.tokens())
            result.arguments.push_back(std::move(token));
    }
    if (destination)
        result.destination = result.arguments.size() - 1;
    return result;
}

Translation Translator::asWritten(std::vector<std::string> arguments)
{
    Translation result;
    result.arguments = std::move(arguments);
    if (!result.arguments.empty())
        result.destination = result.arguments.size() - 1;
    result.asWritten = true;
    return result;
}
