#include "TwoPass.h"

#include "protocol/Protocol.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TwoPass {

namespace {

// Share of the whole run the first pass stands for: it analyses and writes nothing, so it is the
// cheaper one.
constexpr double FirstShare = 0.4;
// A bit rate mode far off on a short or odd source (VP9's realtime mode on a still screen) comes
// closer with each correction.
constexpr int MostCorrections = 3;

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

std::string videoEncoder(const std::vector<std::string> &arguments)
{
    std::string encoder;
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "-c:v" || arguments[i] == "-vcodec" || arguments[i] == "-codec:v")
            encoder = arguments[i + 1];
    }
    return encoder;
}

// The encoder's own way to name its pass and its statistics file.
void addPass(std::vector<std::string> &arguments, int pass, const std::string &folder)
{
    const std::string stats = folder + "/pass";
    if (videoEncoder(arguments) == "libx265") {
        const std::string params = "pass=" + std::to_string(pass) + ":stats=" + stats + ".log";
        const auto existing = std::ranges::find(arguments, std::string("-x265-params"));
        if (existing != arguments.end() && existing + 1 != arguments.end()) {
            std::string &value = *(existing + 1);
            value += (value.empty() ? "" : ":") + params;
        } else {
            arguments.insert(arguments.end(), {"-x265-params", params});
        }
        return;
    }
    arguments.insert(arguments.end(), {"-pass", std::to_string(pass), "-passlogfile", stats});
}

std::optional<double> parseClock(std::string_view text)
{
    int hours = 0;
    int minutes = 0;
    double seconds = 0;
    const std::string copy(text);
    if (std::sscanf(copy.c_str(), "%d:%d:%lf", &hours, &minutes, &seconds) != 3 || hours < 0 || minutes < 0 || seconds < 0)
        return std::nullopt;
    return hours * 3600.0 + minutes * 60.0 + seconds;
}

std::string clockText(double seconds)
{
    const long long hundredths = std::llround(std::max(0.0, seconds) * 100);
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%02lld", hundredths / 360000, hundredths / 6000 % 60,
                  hundredths / 100 % 60, hundredths % 100);
    return text;
}

// The private folder of one run's statistics, removed with what the encoder left in it.
class PassFolder {
public:
    PassFolder()
    {
        const char *base = std::getenv("TMPDIR");
        // x265 reads its statistics name up to a colon.
        std::string root = base && *base && !std::strchr(base, ':') ? base : "/tmp";
        std::string pattern = root + "/vidomar-passes-XXXXXX";
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~PassFolder()
    {
        if (m_path.empty())
            return;
        if (DIR *dir = ::opendir(m_path.c_str())) {
            while (const dirent *entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..")
                    ::unlink((m_path + "/" + name).c_str());
            }
            ::closedir(dir);
        }
        ::rmdir(m_path.c_str());
    }
    PassFolder(const PassFolder &) = delete;
    PassFolder &operator=(const PassFolder &) = delete;

    const std::string &path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace

std::optional<Plan> take(std::vector<std::string> &arguments)
{
    std::optional<Plan> plan;
    for (auto it = arguments.begin(); it != arguments.end();) {
        if (*it == Protocol::TwoPassFlag) {
            plan = plan.value_or(Plan{});
            plan->twoPasses = true;
            it = arguments.erase(it);
        } else if (startsWith(*it, Protocol::FitSizePrefix)) {
            long long target = 0;
            long long sound = 0;
            char end = 0;
            const std::string value = it->substr(std::strlen(Protocol::FitSizePrefix));
            if (std::sscanf(value.c_str(), "%lld:%lld%c", &target, &sound, &end) != 2 || target <= 0 || sound < 0
                || sound >= target) {
                ++it;
                continue;
            }
            plan = plan.value_or(Plan{});
            plan->fitBytes = target;
            plan->soundBytes = sound;
            it = arguments.erase(it);
        } else {
            ++it;
        }
    }
    return plan;
}

std::vector<std::string> firstPass(const std::vector<std::string> &arguments, const std::string &passFolder)
{
    std::vector<std::string> first(arguments.begin(), arguments.end() - (arguments.empty() ? 0 : 1));
    addPass(first, 1, passFolder);
    first.insert(first.end(), {"-an", "-sn", "-f", "null", "/dev/null"});
    return first;
}

std::vector<std::string> secondPass(const std::vector<std::string> &arguments, const std::string &passFolder)
{
    if (arguments.empty())
        return arguments;
    std::vector<std::string> second(arguments.begin(), arguments.end() - 1);
    addPass(second, 2, passFolder);
    second.push_back(arguments.back());
    return second;
}

std::vector<std::string> withScaledBitrate(const std::vector<std::string> &arguments, double factor)
{
    std::vector<std::string> scaled = arguments;
    for (std::size_t i = 0; i + 2 < scaled.size(); ++i) {
        if (scaled[i] != "-b:v")
            continue;
        char *end = nullptr;
        double bits = std::strtod(scaled[i + 1].c_str(), &end);
        if (end == scaled[i + 1].c_str())
            continue;
        if (*end == 'k' || *end == 'K')
            bits *= 1e3;
        else if (*end == 'M')
            bits *= 1e6;
        scaled[i + 1] = std::to_string(std::max(1000LL, std::llround(bits * factor)));
    }
    return scaled;
}

std::optional<double> correction(const Plan &plan, long long got)
{
    if (plan.fitBytes <= 0 || got <= 0)
        return std::nullopt;
    const double target = double(plan.fitBytes);
    if (std::abs(double(got) - target) <= target * Protocol::FitTolerance)
        return std::nullopt;
    const double video = double(got - plan.soundBytes);
    const double wanted = target * Protocol::FitAim - double(plan.soundBytes);
    if (video <= 0 || wanted <= 0)
        return std::nullopt;
    return std::clamp(wanted / video, 0.05, 20.0);
}

void Progress::setStage(double offset, double share)
{
    m_offset = offset;
    m_share = share;
}

std::string Progress::rewrite(std::string text)
{
    if (m_duration <= 0) {
        const std::size_t at = text.find("Duration: ");
        if (at != std::string::npos) {
            if (const std::optional<double> duration = parseClock(std::string_view(text).substr(at + 10, 11)))
                m_duration = *duration;
        }
    }
    if (m_duration <= 0 || (m_offset == 0 && m_share == 1))
        return text;
    for (std::size_t at = text.find("time="); at != std::string::npos; at = text.find("time=", at + 5)) {
        const std::size_t start = at + 5;
        const std::size_t end = text.find_first_of(" \r\n", start);
        const std::size_t length = (end == std::string::npos ? text.size() : end) - start;
        if (const std::optional<double> time = parseClock(std::string_view(text).substr(start, length))) {
            const double whole = m_offset * m_duration + m_share * std::min(*time, m_duration);
            text.replace(start, length, clockText(whole));
        }
    }
    return text;
}

int run(const Plan &plan, const std::vector<std::string> &arguments, Progress &progress, const RunOnce &once,
        const std::function<void(const std::string &)> &say)
{
    std::optional<PassFolder> folder;
    std::vector<std::string> line = arguments;
    int status = 0;
    if (plan.twoPasses) {
        folder.emplace();
        if (folder->path().empty()) {
            say(std::string("avformat.dll: cannot make a folder for the first pass: ") + std::strerror(errno));
            return 1;
        }
        progress.setStage(0, FirstShare);
        if ((status = once(firstPass(line, folder->path()))) != 0)
            return status;
        progress.setStage(FirstShare, 1 - FirstShare);
        status = once(secondPass(line, folder->path()));
    } else {
        status = once(line);
    }
    if (plan.fitBytes <= 0 || arguments.empty())
        return status;
    // Each try: the factor of the line's bit rate, and the video's bytes it gave. After two, the
    // line through them (a secant) says better than a ratio where the encoder's bytes do not
    // follow its bit rate in proportion.
    std::vector<std::pair<double, double>> tries;
    double factor = 1;
    for (int corrections = 0; status == 0 && corrections < MostCorrections; ++corrections) {
        struct stat info {};
        if (::stat(arguments.back().c_str(), &info) != 0)
            return status;
        const std::optional<double> ratio = correction(plan, info.st_size);
        if (!ratio)
            return status;
        const double video = double(info.st_size - plan.soundBytes);
        const double wanted = double(plan.fitBytes) * Protocol::FitAim - double(plan.soundBytes);
        tries.emplace_back(factor, video);
        double next = factor * *ratio;
        if (tries.size() >= 2) {
            const auto [f0, v0] = tries[tries.size() - 2];
            const auto [f1, v1] = tries.back();
            if (f1 != f0 && (v1 - v0) / (f1 - f0) > 0)
                next = f1 + (wanted - v1) * (f1 - f0) / (v1 - v0);
        }
        next = std::clamp(next, factor / 20, factor * 20);
        say("avformat.dll: " + std::to_string(info.st_size) + " bytes for a target of " + std::to_string(plan.fitBytes)
            + "; encoding once more with the bit rate corrected");
        factor = next;
        line = withScaledBitrate(arguments, factor);
        progress.setStage(1 - FirstShare / 2, FirstShare / 2);
        status = once(folder ? secondPass(line, folder->path()) : line);
    }
    return status;
}

} // namespace TwoPass
