#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What ffprobe says of a media file: its streams and how long they last. Read for the source
// (what a run is to convert) and for the finished file (what it holds).
struct MediaProbe {
    struct Stream {
        int index = 0;
        std::string type;            // "video", "audio", "subtitle", ...
        bool attachedPicture = false; // a cover, not a picture that moves
        std::optional<double> duration;
        std::optional<double> frameSeconds;  // one frame of a video stream
        long packets = -1;           // read at the start of the file; -1 when not counted
    };

    bool opened = false;
    std::vector<Stream> streams;
    std::optional<double> duration;  // of the whole file

    // The text of "ffprobe -show_entries ..." as written by of(); exitStatus is ffprobe's.
    static MediaProbe parse(std::string_view text, int exitStatus);
    // Runs ffprobe; with countPackets the packets of the first seconds are counted, which proves
    // that each stream holds something a player can read.
    static MediaProbe of(const std::string &ffprobe, const std::string &file, bool countPackets);

    bool has(std::string_view type) const;
    // A moving picture (not a cover) or sound holding packets, as far as they were counted.
    bool holds(std::string_view type) const;
    // How long the given streams last (the longest of them); the file's duration when none says.
    std::optional<double> spanOf(const std::vector<int> &indices) const;
    // The longest frame of the given video streams, when known.
    std::optional<double> frameOf(const std::vector<int> &indices) const;
};
