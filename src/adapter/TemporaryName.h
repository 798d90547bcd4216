#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

// The name of the file ffmpeg writes instead of the destination: ".<stem>.avformat-<host>-<pid>-
// <random><extension>", hidden, beside the destination, with its extension (ffmpeg picks the
// format by it). The random part makes it unique even where process ids repeat (a retry in a new
// container) and machines share a folder; its fixed length sets the adapter's own names apart
// from what a preset writes beside them ("...-k3x9q2m70.ts", an HLS segment, is not one).
namespace TemporaryName {

inline constexpr std::size_t RandomSize = 8;
inline constexpr std::size_t NameMax = 255;

// This machine's name as it appears in temporary names: letters, digits, '-' and '_' only.
std::string hostName();
// RandomSize letters and digits from the system's random source.
std::string randomPart();
// The stem is shortened (at a character boundary) so that the name fits nameMax bytes.
std::string pathFor(std::string_view destination, std::string_view host, pid_t pid, std::string_view random,
                    std::size_t nameMax = NameMax);
// The host named in fileName when the adapter made that name, exactly; nothing otherwise.
std::optional<std::string> hostOf(std::string_view fileName);

}
