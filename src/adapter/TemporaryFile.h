#pragma once

#include "TemporaryName.h"
#include "UniqueFd.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

// The file ffmpeg writes instead of the destination (named as TemporaryName says), created
// exclusively under a fresh random name until one is free. The owner holds an advisory lock on
// it for the whole run: a file of this machine is a leftover only when nobody holds its lock.
// Locks may not reach other machines (NFS mounted "nolock", SMB "nobrl"), so another machine's
// file is taken for a leftover only after a day. Removed unless committed, as QSaveFile does.
class TemporaryFile {
public:
    static constexpr std::size_t NameMax = TemporaryName::NameMax;
    // How long a file of this machine must have rested before a sweep may take it for a leftover.
    static constexpr int StaleSeconds = 60;
    // ... and one of another machine, whose run may be paused and whose lock may not show here.
    static constexpr int OtherHostStaleSeconds = 24 * 60 * 60;

    // Every name is a file here; only a name that ends in a slash has no file to write beside.
    static bool appliesTo(std::string_view destination);
    // Whether the adapter made fileName, for any destination, host and process.
    static bool isTemporaryName(std::string_view fileName);
    // Removes the temporary files in folder ("" is the current one) that no run holds locked and
    // that have not changed for StaleSeconds (OtherHostStaleSeconds for another machine's): what
    // a killed run left, whatever its destination.
    static void removeStale(const std::string &folder);

    explicit TemporaryFile(std::string destination, std::size_t nameMax = NameMax);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    // Creates the file exclusively, so the name is ours, and locks it; a name that is taken is
    // tried again with another random part. False with errno set when none could be made. A replaced file's permission bits, and its owner and group where allowed, are
    // given to it from the start, so the result is never more open than the file it replaces.
    bool create(const struct stat *replaced = nullptr);
    // Whether the folder the file was made in is no longer at its path (moved or renamed since):
    // the result would land somewhere the user did not name.
    bool folderMoved() const;
    // Moves the result over the destination; false with errno set when that fails.
    bool commit();
    void discard();

    const std::string &path() const { return m_path; }
    // The folder the file lies in, with its trailing slash, or empty for the current one.
    std::string folder() const;

private:
    std::string m_destination;
    std::size_t m_nameMax;
    std::string m_path;
    std::string m_name;  // the file's name in its folder
    UniqueFd m_folder;   // where the file was made, wherever that folder goes
    UniqueFd m_file;     // open while the file is ours: it holds the lock
};
