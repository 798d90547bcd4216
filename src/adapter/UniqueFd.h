#pragma once

#include <optional>

// A file descriptor with one owner, closed in the owner's destructor.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd)
        : m_fd(fd)
    {
    }
    ~UniqueFd();
    UniqueFd(UniqueFd &&other) noexcept;
    UniqueFd &operator=(UniqueFd &&other) noexcept;
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes the descriptor now.
    void reset();

    // Both ends of a pipe, closed on exec; nothing, with errno set, when none can be made.
    struct Pipe;
    static std::optional<Pipe> pipe();

private:
    int m_fd = -1;
};

struct UniqueFd::Pipe {
    UniqueFd read;
    UniqueFd write;
};
