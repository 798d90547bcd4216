#include "SourceFit.h"

#include <algorithm>
#include <string>
#include <vector>

namespace SourceFit {

void padShortSound(Translation &translation, const MediaProbe &source)
{
    constexpr double ShortestSound = 0.2;
    std::vector<std::string> &arguments = translation.arguments;
    if (!translation.destination || !source.has("audio"))
        return;
    std::vector<int> sound;
    for (const MediaProbe::Stream &stream : source.streams) {
        if (stream.type == "audio")
            sound.push_back(stream.index);
    }
    const std::optional<double> span = source.spanOf(sound);
    if (!span || *span >= ShortestSound)
        return;
    const bool filtersOrCopies = std::ranges::any_of(arguments, [](const std::string &a) {
        return a == "-af" || a.starts_with("-filter") || a == "-lavfi" || a == "copy";
    });
    if (filtersOrCopies)
        return;
    const auto at = arguments.begin() + static_cast<std::ptrdiff_t>(*translation.destination);
    arguments.insert(at, {"-af", "apad=whole_dur=" + std::to_string(ShortestSound)});
    *translation.destination += 2;
}

void leaveOutCovers(Translation &translation, const MediaProbe &source)
{
    std::vector<std::string> &arguments = translation.arguments;
    const bool cover = std::ranges::any_of(source.streams, [](const MediaProbe::Stream &s) { return s.attachedPicture; });
    if (!translation.destination || !cover || std::ranges::find(arguments, "-map") != arguments.end() || std::ranges::find(arguments, "-vn") != arguments.end())
        return;
    const std::vector<std::string> maps{"-map", "0:V:0?", "-map", "0:a:0?"};
    translation.notes.push_back("avformat.dll: a cover picture is not video; adding -map 0:V:0? -map 0:a:0?");
    arguments.insert(arguments.begin() + static_cast<std::ptrdiff_t>(*translation.destination), maps.begin(), maps.end());
    *translation.destination += maps.size();
}

}
