// avformat.dll: runs the installed ffmpeg with the presets' old option syntax translated, writes
// into a temporary file beside the destination and moves it there only when ffmpeg succeeded.

#include "ChildProcess.h"
#include "Ffmpeg.h"
#include "TemporaryFile.h"
#include "Translator.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void say(const std::string &line)
{
    const std::string text = line + "\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, text.data(), text.size());
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

}

int main(int argc, char **argv)
{
    ChildProcess::prepareSignals();
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
    if (translation.destination) {
        std::string &destination = translation.arguments[*translation.destination];
        // Without -y an existing destination is ffmpeg's to refuse; -n never replaces one.
        const bool replace = contains(translation.arguments, "-y") || !exists(destination);
        if (TemporaryFile::appliesTo(destination) && replace && !contains(translation.arguments, "-n")) {
            temporary.emplace(destination);
            temporary->removeStale();
            if (!temporary->create()) {
                say("avformat.dll: cannot write beside " + destination + ": " + std::strerror(errno));
                return 1;
            }
            arguments.push_back("-y");
            destination = temporary->path();
        }
    }
    arguments.insert(arguments.end(), translation.arguments.begin(), translation.arguments.end());

    ChildProcess encoder;
    if (!encoder.start(*ffmpeg, arguments)) {
        say("avformat.dll: cannot start " + *ffmpeg + ": " + std::strerror(errno));
        if (temporary)
            temporary->discard();
        return 127;
    }
    const int status = encoder.wait();
    if (encoder.stopSignal() != 0 || status != 0) {
        if (temporary)
            temporary->discard();
        return encoder.stopSignal() != 0 ? 128 + encoder.stopSignal() : status;
    }
    if (temporary && !temporary->commit()) {
        const int error = errno;
        temporary->discard();
        say("avformat.dll: cannot replace the destination: " + std::string(std::strerror(error)));
        return 1;
    }
    return 0;
}
