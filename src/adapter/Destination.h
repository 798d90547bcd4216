#pragma once

#include <optional>
#include <string>
#include <sys/stat.h>

// The destination as the user named it, and the file a conversion really replaces: a link is
// followed to its target, so that the result lands there and the link stays a link.
struct Destination {
    std::string target;
    bool exists = false;
    struct stat info {};  // of the target, when it exists

    // Follows links as the kernel would (at most 40); nothing, with errno set, when one cannot
    // be read or they loop.
    static std::optional<Destination> resolve(const std::string &named);
    // Whether this user may write the existing target (root may write anything).
    bool writable() const;
};
