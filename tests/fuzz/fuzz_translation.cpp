// The adapter's translation of the presets' old options. Input: one byte whose low bit says
// whether ffmpeg has the AMR-NB encoder, four bytes of a process id, then the old arguments cut
// at NUL bytes (as argv holds them). The translation never fails, any destination it names is
// one of its arguments, the encoder is asked about at most once, and the temporary name beside
// the destination leads back to its process id. The same bytes also serve as an encoder listing.

#include "Ffmpeg.h"
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
    const Translation translation = translator.translate(old);
    if (questions > 1)
        Fuzz::fail("ffmpeg was asked more than once");
    if (translation.destination) {
        if (*translation.destination >= translation.arguments.size())
            Fuzz::fail("the destination lies past the arguments");
        const std::string &destination = translation.arguments[*translation.destination];
        if (TemporaryFile::appliesTo(destination)) {
            const std::string path = TemporaryFile::pathFor(destination, pid);
            const std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
            if (TemporaryFile::ownerOf(name, destination) != pid)
                Fuzz::fail("a temporary name does not lead back to its process", QString::fromStdString(path));
        }
    }

    Ffmpeg::listsEncoder(rest, old.front());
    return 0;
}
