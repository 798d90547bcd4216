// avformat.dll: runs the installed ffmpeg with the classic presets' old option syntax translated
// (other lines as written), writes into a temporary file beside the destination and moves it
// there only when ffmpeg succeeded and the file passed the check of a finished result.

#include "Arguments.h"
#include "ChildProcess.h"
#include "Destination.h"
#include "ErrorOutput.h"
#include "Ffmpeg.h"
#include "FileNames.h"
#include "MatroskaFit.h"
#include "OptionArguments.h"
#include "OutputWatch.h"
#include "SourceFit.h"
#include "TemporaryFile.h"
#include "Translator.h"
#include "TwoPass.h"
#include "UniqueFd.h"
#include "protocol/Protocol.h"
#include "VerifiedCommit.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string Prefix = Protocol::OutputPrefix;

ErrorOutput g_errors;

void say(const std::string &line)
{
    g_errors.say(line);
}

bool contains(const std::vector<std::string> &arguments, std::string_view token)
{
    return std::ranges::find(arguments, token) != arguments.end();
}

bool exists(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

bool isRegularFile(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string reason(int error)
{
    return std::strerror(error);
}

std::string signalText(int signal)
{
    return "signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
}

// Ends the run for a stop signal, saying so for whoever reads the output.
int stopped(int signal)
{
    say(Prefix + "stopped by " + signalText(signal));
    return 128 + signal;
}

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// The longest file name the folder's file system takes; the common limit when it cannot tell.
std::size_t nameMaxOf(const std::string &folder)
{
    errno = 0;
    const long max = pathconf(folder.c_str(), _PC_NAME_MAX);
    return max > 0 ? static_cast<std::size_t>(max) : TemporaryFile::NameMax;
}

Translation translate(std::vector<std::string> given, bool asWritten, const std::string &ffmpeg)
{
    if (asWritten) {
        // The preset for today's copy into Matroska asks for what the source needs.
        const auto directive = std::ranges::find(given, MatroskaFit::Directive);
        if (directive == given.end())
            return Translator::asWritten(std::move(given));
        given.erase(directive);
        Translation translation = Translator::asWritten(std::move(given));
        std::vector<std::string> &arguments = translation.arguments;
        // A source that is not a regular file (a pipe) would be used up by looking at it.
        if (arguments.size() > 2 && arguments[0] == "-i" && isRegularFile(arguments[1])) {
            const MatroskaFit::Fit fit = MatroskaFit::fit(Ffmpeg::streamsOf(ffmpeg, arguments[1]));
            arguments.insert(arguments.end() - 1, fit.arguments.begin(), fit.arguments.end());
            // Packed B-frames (DivX, XviD) and MPEG program streams leave packets without a
            // time, which Matroska cannot take; ffmpeg makes them up as it reads.
            arguments.insert(arguments.begin(), {"-fflags", "+genpts"});
            translation.destination = arguments.size() - 1;
            translation.notes = fit.notes;
        }
        return translation;
    }
    const Translator translator([&](std::string_view encoder) { return Ffmpeg::hasEncoder(ffmpeg, encoder); });
    return translator.translate(given);
}

// Decides how the destination is written: through a temporary file beside it when it is
// replaced or new, in place when it is a device or a pipe, and not at all (ffmpeg refuses) when
// an existing file must not be replaced. The destination argument is changed to the temporary
// file. Returns the exit status when the run must end here.
std::optional<int> prepareDestination(Translation &translation, std::optional<TemporaryFile> &temporary,
                                      std::vector<std::string> &arguments)
{
    std::string &destination = translation.arguments[*translation.destination];
    const std::string shown = destination;
    // Without -y an existing destination is ffmpeg's to refuse; -n never replaces one.
    const bool replace = contains(translation.arguments, "-y") || !exists(destination);
    if (!TemporaryFile::appliesTo(destination) || !replace || contains(translation.arguments, "-n"))
        return std::nullopt;
    const std::optional<Destination> resolved = Destination::resolve(destination);
    if (!resolved) {
        say(shown + ": " + reason(errno));
        return 1;
    }
    const bool existing = resolved->exists;
    if (existing && S_ISDIR(resolved->info.st_mode)) {
        say(Prefix + "cannot replace the destination: " + reason(EISDIR));
        return 1;
    }
    if (existing && !resolved->writable()) {
        say(shown + ": " + reason(EACCES));
        return 1;
    }
    // A device or a pipe is written in place: a file renamed over it would replace it.
    if (existing && !S_ISREG(resolved->info.st_mode))
        return std::nullopt;
    const std::string folder = folderOf(resolved->target);
    const std::size_t nameMax = nameMaxOf(folder);
    const std::size_t slash = resolved->target.rfind('/');
    const std::size_t nameSize = resolved->target.size() - (slash == std::string::npos ? 0 : slash + 1);
    if (!existing && nameSize > nameMax) {
        say(shown + ": the name is too long for its folder (" + std::to_string(nameSize)
            + " bytes; the file system there takes at most " + std::to_string(nameMax) + ")");
        return 1;
    }
    temporary.emplace(resolved->target, nameMax);
    TemporaryFile::removeStale(temporary->folder());
    if (!temporary->create(existing ? &resolved->info : nullptr)) {
        say(Prefix + "cannot write beside " + shown + ": " + reason(errno));
        return 1;
    }
    arguments.push_back("-y");
    destination = temporary->path();
    return std::nullopt;
}

// What the source holds, read before the run when it is a file: a pipe would be used up by it.
std::optional<MediaProbe> probeSource(const std::string &ffprobe, const Translation &translation)
{
    const std::optional<std::string> source = Arguments::sourceOf(translation.arguments);
    if (!source || !isRegularFile(*source))
        return std::nullopt;
    return MediaProbe::of(ffprobe, *source, false);
}

// The finished file is checked before it replaces anything; what the user should know about it
// is said. Returns the exit status when it must not replace anything.
std::optional<int> verify(const std::string &ffprobe, const std::optional<MediaProbe> &source,
                          const TemporaryFile &temporary, const Translation &translation, const Arguments::Flags &flags,
                          const OutputWatch &watch, const std::string &shown)
{
    VerifiedCommit::Promise promise{watch.outputVideo(), watch.outputAudio(), flags.span, watch.writtenTime(), {}};
    if (source) {
        promise.frameSeconds = source->frameOf(watch.mappedInputs());
        if (!promise.span)
            promise.span = source->spanOf(watch.mappedInputs());
    }
    // Cut by the arguments, the result is as long as they say.
    if (!flags.span && Arguments::cutsTheSource(translation.arguments))
        promise.span.reset();
    struct stat info {};
    const bool exists = stat(temporary.path().c_str(), &info) == 0;
    const MediaProbe after = exists && info.st_size > 0 ? MediaProbe::of(ffprobe, temporary.path(), true) : MediaProbe{};
    if (const int signal = ChildProcess::pendingStopSignal())
        return stopped(signal);
    const VerifiedCommit::Verdict verdict = VerifiedCommit::judge(promise, exists, info.st_size, after);
    if (!verdict.failure.empty()) {
        say(Prefix + "" + verdict.failure + "; " + shown + " was left as it was");
        return 1;
    }
    if (!verdict.warning.empty())
        say(Prefix + "" + verdict.warning);
    return std::nullopt;
}

}

int main(int argc, char **argv)
{
    ChildProcess::prepareSignals();
    ChildProcess::stopWithParent();
    const char *override = std::getenv("VIDOMAR_FFMPEG");
    const std::optional<std::string> ffmpeg = Ffmpeg::find(override ? override : "", std::getenv("PATH"));
    if (!ffmpeg) {
        say(Prefix + "ffmpeg was not found; install the ffmpeg package");
        return 127;
    }

    std::vector<std::string> given(argv + 1, argv + argc);
    std::string blockError;
    const std::optional<OptionArguments::Block> options = OptionArguments::take(given, blockError);
    if (!blockError.empty()) {
        say(blockError);
        return 2;
    }
    const Arguments::Flags flags = Arguments::takeFlags(given);
    // Aimed at a size: the program's flags on a line in today's syntax.
    const std::optional<TwoPass::Plan> passes = flags.asWritten ? TwoPass::take(given) : std::nullopt;
    // Tracks the program chose are already fitted to Matroska.
    if (options && OptionArguments::mapsTracks(*options))
        std::erase(given, std::string(MatroskaFit::Directive));
    Translation translation = translate(std::move(given), flags.asWritten, *ffmpeg);
    const std::vector<std::string> inputOptions =
        options ? OptionArguments::apply(translation, *options) : std::vector<std::string>();
    if (translation.destination) {
        if (const auto format = Arguments::outputFormat(translation.arguments, *translation.destination);
            format && VerifiedCommit::writesNoFile(*format)) {
            say(Prefix + "the format " + *format + " writes no file; nothing was converted");
            return 1;
        }
    }
    const char *probeOverride = std::getenv("VIDOMAR_FFPROBE");
    const std::optional<std::string> ffprobe
        = Ffmpeg::findProbe(probeOverride ? probeOverride : "", *ffmpeg, std::getenv("PATH"));
    if (!ffprobe) {
        say(Prefix + "ffprobe was not found; install the ffmpeg package");
        return 127;
    }
    const std::optional<MediaProbe> source = probeSource(*ffprobe, translation);
    if (source) {
        SourceFit::padShortSound(translation, *source);
        if (!flags.asWritten)
            SourceFit::leaveOutCovers(translation, *source);
    }
    for (const std::string &note : translation.notes)
        say(note);
    // Stopped while asking ffmpeg: nothing has been written yet.
    if (const int signal = ChildProcess::pendingStopSignal())
        return stopped(signal);

    std::vector<std::string> arguments{"-nostdin"};
    std::optional<TemporaryFile> temporary;
    std::string shown;
    if (translation.destination) {
        shown = translation.arguments[*translation.destination];
        if (const std::optional<int> refused = prepareDestination(translation, temporary, arguments))
            return *refused;
    }
    // ffmpeg's lines name every file as the user did: the hidden file as the destination.
    std::vector<OutputWatch::Name> names;
    if (temporary) {
        names.push_back({FileNames::asFileName(temporary->path()), shown});
        names.push_back({temporary->path(), shown});
    }
    for (const FileNames::Renamed &name :
         FileNames::makeFileNames(translation.arguments, translation.destination, translation.asWritten))
        names.push_back({name.given, name.original});
    arguments.insert(arguments.end(), inputOptions.begin(), inputOptions.end());
    arguments.insert(arguments.end(), translation.arguments.begin(), translation.arguments.end());

    TwoPass::Progress progress;
    int stopSignal = 0;
    // The watch of the last encode, the one that wrote the file the commit checks.
    std::optional<OutputWatch> watch;
    const TwoPass::RunOnce runFfmpeg = [&](const std::vector<std::string> &line) {
        std::optional<UniqueFd::Pipe> pipe = UniqueFd::pipe();
        if (!pipe) {
            say(Prefix + "cannot read ffmpeg's output: " + reason(errno));
            return 1;
        }
        ChildProcess encoder;
        const bool started = encoder.start(*ffmpeg, line, -1, pipe->write.get());
        const int startError = errno;
        pipe->write.reset();
        if (!started) {
            say(Prefix + "cannot start " + *ffmpeg + ": " + reason(startError));
            return 127;
        }
        OutputWatch &current = watch.emplace(names, shown);
        const ChildProcess::Output output{
            pipe->read.get(), [&](std::string_view piece) { g_errors.pass(progress.rewrite(current.take(piece))); },
            [&] { g_errors.pass(progress.rewrite(current.flush())); }};
        const int status = encoder.wait(output);
        if (encoder.stopSignal() != 0) {
            stopSignal = encoder.stopSignal();
            return -1;
        }
        if (status != 0 || current.writeFailure()) {
            std::string telling = current.tellingLine();
            if (telling.empty() && encoder.endSignal() != 0)
                telling = "ffmpeg ended by " + signalText(encoder.endSignal());
            if (!telling.empty())
                say(telling);
            return status != 0 ? status : 1;
        }
        return 0;
    };
    const int status = passes ? TwoPass::run(*passes, arguments, progress, runFfmpeg, say) : runFfmpeg(arguments);
    if (stopSignal != 0)
        return stopped(stopSignal);
    if (status != 0)
        return status;
    if (temporary && temporary->folderMoved()) {
        say(Prefix + "the folder of " + shown + " was moved or renamed during the run; nothing was written there");
        return 1;
    }
    if (temporary && watch) {
        if (const std::optional<int> refused = verify(*ffprobe, source, *temporary, translation, flags, *watch, shown))
            return *refused;
    }
    if (temporary && !temporary->commit()) {
        say(Prefix + "cannot replace the destination: " + reason(errno));
        return 1;
    }
    return 0;
}
