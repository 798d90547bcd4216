// The adapter's translation of the presets' old options. Input: one byte whose low bit says
// whether ffmpeg has the AMR-NB encoder, four bytes of a process id, then the old arguments cut
// at NUL bytes (as argv holds them). The translation never fails, any destination it names is
// one of its arguments, the encoder is asked about at most once, the temporary name is a hidden
// one beside the destination, and the destination handed to ffmpeg can only be a file. The same
// bytes also serve as an encoder listing, a stream listing, ffprobe's report on a file and
// ffmpeg's output as the adapter reads it.

#include "Ffmpeg.h"
#include "FileNames.h"
#include "FuzzSupport.h"
#include "MatroskaFit.h"
#include "MediaProbe.h"
#include "OutputWatch.h"
#include "TemporaryFile.h"
#include "TemporaryName.h"
#include "Translator.h"
#include "VerifiedCommit.h"

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
            static const std::string host = TemporaryName::hostName();
            const std::string path = TemporaryName::pathFor(destination, host, pid, TemporaryName::randomPart());
            const std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
            // What the sweep may take for a leftover is decided by its lock, not by its name; the
            // name only has to lie beside the destination, hidden, recognisable, and differ from
            // the destination.
            const std::size_t slash = destination.rfind('/');
            const std::string folder = slash == std::string::npos ? std::string() : destination.substr(0, slash + 1);
            if (path.substr(0, path.size() - name.size()) != folder || !name.starts_with('.') || path == destination
                || TemporaryName::hostOf(name) != host)
                Fuzz::fail("a temporary name that is not one beside its destination", QString::fromStdString(path));
        }
        FileNames::makeFileNames(translation.arguments, translation.destination);
        const std::string &given = translation.arguments[*translation.destination];
        const std::size_t slash = given.find('/');
        if (!given.empty() && (slash == std::string::npos || slash > given.find(':')))
            Fuzz::fail("a destination ffmpeg could read as something else", QString::fromStdString(given));
    }

    // The same line in today's syntax: only the job's own names change, and the destination
    // stays the last argument.
    Translation asWritten = Translator::asWritten(old);
    FileNames::makeFileNames(asWritten.arguments, asWritten.destination, true);
    if (asWritten.arguments.size() != old.size() || *asWritten.destination != old.size() - 1)
        Fuzz::fail("a line passed on as written changed its length");

    Ffmpeg::listsEncoder(rest, old.front());
    MatroskaFit::fit(Ffmpeg::listedStreams(rest));

    // A report read as ffprobe's and as ffmpeg's output: whatever it says, the check decides
    // without failing, and a failure always has its reason.
    const MediaProbe probe = MediaProbe::parse(rest, amr ? 0 : 1);
    OutputWatch watch({}, "out.mp4");
    watch.take(rest);
    watch.flush();
    const VerifiedCommit::Promise promise{watch.outputVideo(), watch.outputAudio(), probe.spanOf(watch.mappedInputs()),
                                          watch.writtenTime(), probe.frameOf(watch.mappedInputs())};
    const VerifiedCommit::Verdict verdict = VerifiedCommit::judge(promise, true, off_t(size), probe);
    if (!probe.opened && verdict.failure.empty())
        Fuzz::fail("a file that does not open was let through");
    return 0;
}
