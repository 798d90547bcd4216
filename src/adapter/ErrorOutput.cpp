#include "ErrorOutput.h"

#include <cerrno>
#include <unistd.h>

void ErrorOutput::pass(std::string_view text)
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

void ErrorOutput::say(const std::string &line)
{
    pass((m_atLineStart ? "" : "\n") + line + "\n");
}
