#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

// The file ffmpeg writes instead of the destination: beside it, hidden, with the same extension
// (ffmpeg picks the format by it), and the host name and the adapter's process id in its name,
// so that a leftover can be told from a live run even in a folder that several machines share.
class TemporaryFile {
public:
    struct Owner {
        std::string host;
        pid_t pid = 0;
    };

    // Every name is a file here; only a name that ends in a slash has no file to write beside.
    static bool appliesTo(std::string_view destination);
    // This machine's name as it appears in temporary names: letters, digits and '-' only.
    static std::string hostName();
    static std::string pathFor(std::string_view destination, std::string_view host, pid_t pid);
    // The host and process in fileName when it is a temporary name (of any destination).
    static std::optional<Owner> ownerOf(std::string_view fileName);
    // Removes temporary files in folder ("" is the current one) left by processes of this host
    // that are gone (a killed earlier run), whatever destination they were for.
    static void removeStale(const std::string &folder, std::string_view host);

    explicit TemporaryFile(std::string destination);

    // Creates the file exclusively, so the name is ours; false with errno set otherwise. A
    // replaced file's permission bits, and its owner and group where allowed, are given to it
    // from the start, so the result is never more open than the file it replaces.
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
    bool m_exists = false;
};
