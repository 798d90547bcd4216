#include "UniqueFd.h"

#include <fcntl.h>
#include <unistd.h>
#include <utility>

UniqueFd::~UniqueFd()
{
    reset();
}

UniqueFd::UniqueFd(UniqueFd &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
{
}

UniqueFd &UniqueFd::operator=(UniqueFd &&other) noexcept
{
    if (this != &other) {
        reset();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

void UniqueFd::reset()
{
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

std::optional<UniqueFd::Pipe> UniqueFd::pipe()
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return std::nullopt;
    return Pipe{UniqueFd(fds[0]), UniqueFd(fds[1])};
}
