#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A conversion aimed at a size, as one run of the adapter: the encoder's first pass to the null
// device with its statistics in a private folder, then the real pass into the temporary file,
// then, while the result misses its target (at most three times), a corrective encode with the video
// bit rate scaled by what came out. ffmpeg's progress is rescaled so that the passes together read as one run.
namespace TwoPass {

struct Plan {
    bool twoPasses = false;
    long long fitBytes = 0;   // 0: no size to fit
    long long soundBytes = 0; // what the sound takes of fitBytes
};

// Takes the program's flags (Protocol.h) out of a line; nothing when it holds none. A malformed
// size is nothing either: the line then reaches ffmpeg, which refuses the flag.
std::optional<Plan> take(std::vector<std::string> &arguments);

// The argument lists of the two passes of one line, its destination last. passFolder holds the
// statistics; the first pass writes no sound and no file.
std::vector<std::string> firstPass(const std::vector<std::string> &arguments, const std::string &passFolder);
std::vector<std::string> secondPass(const std::vector<std::string> &arguments, const std::string &passFolder);
// The line with its video bit rate (-b:v, in bit/s or with k/M) scaled; unchanged without one.
std::vector<std::string> withScaledBitrate(const std::vector<std::string> &arguments, double factor);
// The factor that brings a result of `got` bytes to the plan's aim; nothing when `got` lies
// within the tolerance of the target.
std::optional<double> correction(const Plan &plan, long long got);

// Rewrites ffmpeg's "time=" as a share of the whole run: each encode covers [offset, offset +
// share) of the source's duration (read from its "Duration:" line).
class Progress {
public:
    void setStage(double offset, double share);
    std::string rewrite(std::string text);

private:
    double m_offset = 0;
    double m_share = 1;
    double m_duration = 0;
};

// One run of ffmpeg with these arguments: its status (0 for success), or -1 when a stop signal
// ended it.
using RunOnce = std::function<int(const std::vector<std::string> &arguments)>;

// Runs the plan on a full ffmpeg line (its destination last); the status as RunOnce gives it.
int run(const Plan &plan, const std::vector<std::string> &arguments, Progress &progress, const RunOnce &once,
        const std::function<void(const std::string &)> &say);

} // namespace TwoPass
