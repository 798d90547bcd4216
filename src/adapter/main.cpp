// avformat.dll: runs the installed ffmpeg with the presets' old option syntax translated, writes
// into a temporary file beside the destination and moves it there only when ffmpeg succeeded.

#include "ChildProcess.h"
#include "Destination.h"
#include "Ffmpeg.h"
#include "FileNames.h"
#include "OutputWatch.h"
#include "TemporaryFile.h"
#include "Translator.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The adapter's error output: ffmpeg's lines passed on, and the adapter's own, each on a line of
// its own.
class ErrorOutput {
public:
    void pass(std::string_view text)
    {
        if (text.empty())
            return;
        const char *data = text.data();
        std::size_t left = text.size();
        while (left > 0) {
            const ssize_t n = write(STDERR_FILENO, data, left);
            if (n < 0 && errno == EINTR)
                continue;
            // Nobody reads any more (the program has gone): the run goes on to its end.
            if (n <= 0)
                break;
            data += n;
            left -= static_cast<std::size_t>(n);
        }
        m_atLineStart = text.back() == '\n';
    }

    void say(const std::string &line)
    {
        pass((m_atLineStart ? "" : "\n") + line + "\n");
    }

private:
    bool m_atLineStart = true;
};

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

std::string reason(int error)
{
    return std::strerror(error);
}

}

int main(int argc, char **argv)
{
    ChildProcess::prepareSignals();
    ChildProcess::stopWithParent();
    const char *override = std::getenv("VIDOMAR_FFMPEG");
    const std::optional<std::string> ffmpeg = Ffmpeg::find(override ? override : "", std::getenv("PATH"));
    if (!ffmpeg) {
        say("avformat.dll: ffmpeg was not found; install the ffmpeg package");
        return 127;
    }

    const Translator translator([&](std::string_view encoder) { return Ffmpeg::hasEncoder(*ffmpeg, encoder); });
    Translation translation = translator.translate(std::vector<std::string>(argv + 1, argv + argc));
    for (const std::string &note : translation.notes)
        say(note);
    // Stopped while asking ffmpeg for its encoders: nothing has been written yet.
    if (const int signal = ChildProcess::pendingStopSignal())
        return 128 + signal;

    std::vector<std::string> arguments{"-nostdin"};
    std::optional<TemporaryFile> temporary;
    std::string shown;
    if (translation.destination) {
        std::string &destination = translation.arguments[*translation.destination];
        shown = destination;
        // Without -y an existing destination is ffmpeg's to refuse; -n never replaces one.
        const bool replace = contains(translation.arguments, "-y") || !exists(destination);
        if (TemporaryFile::appliesTo(destination) && replace && !contains(translation.arguments, "-n")) {
            const std::optional<Destination> resolved = Destination::resolve(destination);
            if (!resolved) {
                say(shown + ": " + reason(errno));
                return 1;
            }
            const bool existing = resolved->exists;
            if (existing && S_ISDIR(resolved->info.st_mode)) {
                say("avformat.dll: cannot replace the destination: " + reason(EISDIR));
                return 1;
            }
            if (existing && !resolved->writable()) {
                say(shown + ": " + reason(EACCES));
                return 1;
            }
            // A device or a pipe is written in place: a file renamed over it would replace it.
            if (!existing || S_ISREG(resolved->info.st_mode)) {
                temporary.emplace(resolved->target);
                TemporaryFile::removeStale(temporary->folder(), TemporaryFile::hostName());
                if (!temporary->create(existing ? &resolved->info : nullptr)) {
                    say("avformat.dll: cannot write beside " + shown + ": " + reason(errno));
                    return 1;
                }
                arguments.push_back("-y");
                destination = temporary->path();
            }
        }
    }
    // ffmpeg's lines name every file as the user did: the hidden file as the destination.
    std::vector<OutputWatch::Name> names;
    if (temporary) {
        names.push_back({FileNames::asFileName(temporary->path()), shown});
        names.push_back({temporary->path(), shown});
    }
    for (const FileNames::Renamed &name : FileNames::makeFileNames(translation.arguments, translation.destination))
        names.push_back({name.given, name.original});
    arguments.insert(arguments.end(), translation.arguments.begin(), translation.arguments.end());
    OutputWatch watch(names, shown);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        say("avformat.dll: cannot read ffmpeg's output: " + reason(errno));
        if (temporary)
            temporary->discard();
        return 1;
    }
    ChildProcess encoder;
    const bool started = encoder.start(*ffmpeg, arguments, -1, pipeFds[1]);
    const int startError = errno;
    close(pipeFds[1]);
    if (!started) {
        close(pipeFds[0]);
        say("avformat.dll: cannot start " + *ffmpeg + ": " + reason(startError));
        if (temporary)
            temporary->discard();
        return 127;
    }
    const ChildProcess::Output output{pipeFds[0], [&](std::string_view piece) { g_errors.pass(watch.take(piece)); },
                                      [&] { g_errors.pass(watch.flush()); }};
    const int status = encoder.wait(output);
    close(pipeFds[0]);
    if (encoder.stopSignal() != 0) {
        if (temporary)
            temporary->discard();
        return 128 + encoder.stopSignal();
    }
    if (status != 0 || watch.writeFailure()) {
        if (temporary)
            temporary->discard();
        std::string line = watch.tellingLine();
        if (line.empty() && encoder.endSignal() != 0)
            line = "ffmpeg ended by signal " + std::to_string(encoder.endSignal()) + " ("
                + strsignal(encoder.endSignal()) + ")";
        if (!line.empty())
            say(line);
        return status != 0 ? status : 1;
    }
    if (temporary && !temporary->commit()) {
        const int error = errno;
        temporary->discard();
        say("avformat.dll: cannot replace the destination: " + reason(error));
        return 1;
    }
    return 0;
}
