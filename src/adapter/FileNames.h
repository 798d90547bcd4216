#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// ffmpeg reads some names as something else: "pipe:1.wav" and "file:ok.avi" as protocols,
// "2024-05-01T12:30.avi" as an unknown one, "-y.mp4" as an option. A name with a slash before
// any colon can only be a file, so relative names get "./" in front.
namespace FileNames {

std::string asFileName(const std::string &name);

// A name as it was changed: what ffmpeg is given, and what the user gave.
struct Renamed {
    std::string given;
    std::string original;
};

// The inputs (the value of each -i whose format no -f names) and the destination become names
// that can only be files; with onlyTheJobsOwn, only the job's input (a leading "-i NAME") and the
// destination, since the other arguments are passed on as written. Returns the names that changed.
std::vector<Renamed> makeFileNames(std::vector<std::string> &arguments, std::optional<std::size_t> destination,
                                   bool onlyTheJobsOwn = false);

}
