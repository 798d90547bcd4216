#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

// The file ffmpeg writes instead of the destination: beside it, hidden, with the same extension
// (ffmpeg picks the format by it) and the adapter's process id in its name.
class TemporaryFile {
public:
    // Pipes, protocols and standard output have no folder to write beside.
    static bool appliesTo(std::string_view destination);
    static std::string pathFor(std::string_view destination, pid_t pid);
    // The process id in fileName when it is a temporary name for destination, else nothing.
    static std::optional<pid_t> ownerOf(std::string_view fileName, std::string_view destination);

    explicit TemporaryFile(std::string destination);

    // Removes temporary files of this destination whose process is gone (a killed earlier run).
    void removeStale() const;
    // Creates the file exclusively, so the name is ours; false with errno set otherwise.
    bool create();
    // Moves the result over the destination; false with errno set when that fails.
    bool commit();
    void discard();

    const std::string &path() const { return m_path; }

private:
    std::string m_destination;
    std::string m_path;
    bool m_exists = false;
};
