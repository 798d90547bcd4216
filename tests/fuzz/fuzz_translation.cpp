// The adapter's translation of the presets' old options. Input: one byte whose low bit says
// whether ffmpeg has the AMR-NB encoder, four bytes of a process id, then the old arguments cut
// at NUL bytes (as argv holds them). The translation never fails, any destination it names is
// one of its arguments, the encoder is asked about at most once, the temporary name beside the
// destination leads back to this host and its process id, and the destination handed to ffmpeg
// can only be a file. The same bytes also serve as an encoder listing.

#include "Ffmpeg.h"
#include "FileNames.h"
#include "FuzzSupport.h"
#include "TemporaryFile.h"
#include "Translator.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 5)
        return 0;
    const bool amr = data[0] & 1;
    uint32_t rawPid = 0;
    std::memcpy(&rawPid, data + 1, sizeof rawPid);
    const pid_t pid = pid_t(rawPid % 0x7FFFFFFF) + 1;
    const std::string_view rest(reinterpret_cast<const char *>(data + 5), size - 5);

    std::vector<std::string> old;
    std::size_t start = 0;
    for (std::size_t end; (end = rest.find('\0', start)) != std::string_view::npos; start = end + 1)
        old.emplace_back(rest.substr(start, end - start));
    old.emplace_back(rest.substr(start));

    int questions = 0;
    const Translator translator([&](std::string_view encoder) {
        ++questions;
        return amr && encoder == "libopencore_amrnb";
    });
    Translation translation = translator.translate(old);
    if (questions > 1)
        Fuzz::fail("ffmpeg was asked more than once");
    if (translation.destination) {
        if (*translation.destination >= translation.arguments.size())
            Fuzz::fail("the destination lies past the arguments");
        const std::string &destination = translation.arguments[*translation.destination];
        if (TemporaryFile::appliesTo(destination)) {
            static const std::string host = TemporaryFile::hostName();
            const std::string path = TemporaryFile::pathFor(destination, host, pid);
            const std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
            const auto owner = TemporaryFile::ownerOf(name);
            if (!owner || owner->pid != pid || owner->host != host)
                Fuzz::fail("a temporary name does not lead back to its process", QString::fromStdString(path));
        }
        FileNames::makeFileNames(translation.arguments, translation.destination);
        const std::string &given = translation.arguments[*translation.destination];
        const std::size_t slash = given.find('/');
        if (!given.empty() && (slash == std::string::npos || slash > given.find(':')))
            Fuzz::fail("a destination ffmpeg could read as something else", QString::fromStdString(given));
    }

    Ffmpeg::listsEncoder(rest, old.front());
    return 0;
}
