// A stand-in for the encoder, copied into a test's program folder as "avformat.dll". The
// environment tells it what to do:
//   FAKE_ARGS_FILE   write the arguments it got there, each followed by a NUL byte
//   FAKE_SILENT_MS   stay silent this long before the first output
//   FAKE_TEXT        the text of one chunk (default: a progress line)
//   FAKE_REPEAT      how many chunks (default 1)
//   FAKE_DELAY_MS    pause between chunks
//   FAKE_NULS        NUL bytes appended to each chunk
//   FAKE_LAST_LINE   a line written after the chunks
//   FAKE_EXIT        exit status (default 0)
//   FAKE_KILL_SELF   end by SIGKILL instead of exiting
//   FAKE_TERM_MS     on SIGTERM, take this long to clean up before exiting; -1 ignores SIGTERM
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

long envNumber(const char *name, long fallback)
{
    const char *value = std::getenv(name);
    return value && *value ? std::strtol(value, nullptr, 10) : fallback;
}

std::string envText(const char *name, const char *fallback)
{
    const char *value = std::getenv(name);
    return value ? value : fallback;
}

long g_termMs = 0;

void onTerm(int)
{
    const timespec pause{g_termMs / 1000, g_termMs % 1000 * 1000000};
    nanosleep(&pause, nullptr);
    _exit(128 + SIGTERM);
}

void sleepMs(long ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void writeAll(const std::string &data)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(1, data.data() + done, data.size() - done);
        if (n <= 0)
            std::exit(141);
        done += size_t(n);
    }
}

} // namespace

int main(int argc, char **argv)
{
    g_termMs = envNumber("FAKE_TERM_MS", 0);
    if (g_termMs < 0)
        std::signal(SIGTERM, SIG_IGN);
    else if (g_termMs > 0)
        std::signal(SIGTERM, onTerm);
    if (const char *path = std::getenv("FAKE_ARGS_FILE")) {
        if (std::FILE *file = std::fopen(path, "wb")) {
            for (int i = 1; i < argc; ++i)
                std::fwrite(argv[i], 1, std::string(argv[i]).size() + 1, file);
            std::fclose(file);
        }
    }
    sleepMs(envNumber("FAKE_SILENT_MS", 0));
    std::string chunk = envText("FAKE_TEXT", "frame=   10 fps=0.0 q=2.0 size=      12kB time=00:00:00.40 bitrate= 245.8kbits/s speed=0.8x\r");
    chunk.append(size_t(envNumber("FAKE_NULS", 0)), '\0');
    const long repeat = envNumber("FAKE_REPEAT", 1);
    const long delay = envNumber("FAKE_DELAY_MS", 0);
    for (long i = 0; i < repeat; ++i) {
        writeAll(chunk);
        if (i + 1 < repeat)
            sleepMs(delay);
    }
    const std::string last = envText("FAKE_LAST_LINE", "");
    if (!last.empty())
        writeAll(last + "\n");
    if (envNumber("FAKE_KILL_SELF", 0))
        ::kill(::getpid(), SIGKILL);
    return int(envNumber("FAKE_EXIT", 0));
}
