#pragma once

#include "UniqueFd.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

// The file ffmpeg writes instead of the destination: beside it, hidden, with the same extension
// (ffmpeg picks the format by it), and the host name and the adapter's process id in its name so
// that no two runs pick the same name, even in a folder several machines share. The owner holds
// an advisory lock on it for the whole run, which every run on any machine honours: a file is a
// leftover only when nobody holds its lock. Removed unless committed, as QSaveFile does.
class TemporaryFile {
public:
    static constexpr std::size_t NameMax = 255;
    // How long a file must have rested before a sweep may take it for a leftover.
    static constexpr int StaleSeconds = 60;

    // Every name is a file here; only a name that ends in a slash has no file to write beside.
    static bool appliesTo(std::string_view destination);
    // This machine's name as it appears in temporary names: letters, digits, '-' and '_' only.
    static std::string hostName();
    // The name is shortened (at a character boundary) so that it fits nameMax bytes.
    static std::string pathFor(std::string_view destination, std::string_view host, pid_t pid,
                               std::size_t nameMax = NameMax);
    // Whether fileName has the form of a temporary name, of any destination, host and process.
    static bool isTemporaryName(std::string_view fileName);
    // Removes the temporary files in folder ("" is the current one) that no run holds locked and
    // that have not changed for StaleSeconds: what a killed run left, whatever its destination.
    static void removeStale(const std::string &folder);

    explicit TemporaryFile(std::string destination, std::size_t nameMax = NameMax);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    // Creates the file exclusively, so the name is ours, and locks it; false with errno set
    // otherwise. A replaced file's permission bits, and its owner and group where allowed, are
    // given to it from the start, so the result is never more open than the file it replaces.
    bool create(const struct stat *replaced = nullptr);
    // Moves the result over the destination; false with errno set when that fails.
    bool commit();
    void discard();

    const std::string &path() const { return m_path; }
    // The folder the file lies in, with its trailing slash, or empty for the current one.
    std::string folder() const;

private:
    std::string m_destination;
    std::string m_path;
    UniqueFd m_file;  // open while the file is ours: it holds the lock
};
