#include "workflow/FolderScan.h"

#include "workflow/DestinationName.h"
#include "workflow/FileNameBytes.h"
#include "workflow/MediaProbe.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>

namespace {

struct Identity {
    dev_t device;
    ino_t inode;
    bool operator==(const Identity &) const = default;
};

size_t qHash(const Identity &id, size_t seed = 0)
{
    return ::qHash(qulonglong(id.device) * 1000003u ^ qulonglong(id.inode), seed);
}

qint64 nanoseconds(const struct timespec &t)
{
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

QByteArray realPath(const QByteArray &path)
{
    char *real = ::realpath(path.constData(), nullptr);
    if (!real)
        return {};
    QByteArray result(real);
    std::free(real);
    return result;
}

class Walker {
public:
    Walker(const QString &folder, const FolderScan::Options &options, QStringList *linksOut, QStringList *folders)
        : m_options(options), m_linksOut(linksOut), m_folders(folders)
    {
        m_root = FileNameBytes::encode(folder);
        while (m_root.size() > 1 && m_root.endsWith('/'))
            m_root.chop(1);
        m_realRoot = realPath(m_root);
        for (const QString &excluded : options.excluded) {
            struct stat info {};
            if (::stat(FileNameBytes::encode(excluded).constData(), &info) == 0)
                m_excluded.insert({info.st_dev, info.st_ino});
        }
    }

    QList<FolderFile> run()
    {
        struct stat info {};
        if (::stat(m_root.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
            return {};
        m_visited.insert({info.st_dev, info.st_ino});
        walk(m_root, QByteArray());
        std::sort(m_files.begin(), m_files.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        QList<FolderFile> files;
        files.reserve(m_files.size());
        for (auto &[key, file] : m_files)
            files.append(std::move(file));
        return files;
    }

private:
    bool inside(const QByteArray &path) const
    {
        const QByteArray real = realPath(path);
        return !real.isEmpty() && !m_realRoot.isEmpty()
            && (real == m_realRoot || real.startsWith(m_realRoot == "/" ? m_realRoot : m_realRoot + '/'));
    }

    void passLink(const QByteArray &path)
    {
        if (m_linksOut)
            m_linksOut->append(FileNameBytes::decode(path));
    }

    void walk(const QByteArray &folder, const QByteArray &relative)
    {
        DIR *dir = ::opendir(folder.constData());
        if (!dir)
            return;
        if (m_folders)
            m_folders->append(FileNameBytes::decode(folder));
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name.startsWith('.'))
                continue;
            const QByteArray path = folder + '/' + name;
            const QByteArray place = relative.isEmpty() ? name : relative + '/' + name;
            struct stat info {};
            if (::lstat(path.constData(), &info) != 0)
                continue;
            if (S_ISLNK(info.st_mode)) {
                const bool followed = ::stat(path.constData(), &info) == 0;
                if (!followed || (!m_options.followLinks && !inside(path))) {
                    passLink(path);
                    continue;
                }
                // A folder link inside the tree shows what the walk sees anyway.
                if (S_ISDIR(info.st_mode) && !m_options.followLinks)
                    continue;
            }
            if (S_ISDIR(info.st_mode)) {
                const Identity id{info.st_dev, info.st_ino};
                if (m_excluded.contains(id) || m_visited.contains(id))
                    continue;
                m_visited.insert(id);
                walk(path, place);
            } else if (S_ISREG(info.st_mode)) {
                m_files.append({place, FolderFile{FileNameBytes::decode(path), FileNameBytes::decode(place), qint64(info.st_size),
                                                  nanoseconds(info.st_mtim)}});
            }
        }
        ::closedir(dir);
    }

    const FolderScan::Options &m_options;
    QStringList *m_linksOut;
    QStringList *m_folders;
    QByteArray m_root;
    QByteArray m_realRoot;
    QSet<Identity> m_excluded;
    QSet<Identity> m_visited;
    QList<std::pair<QByteArray, FolderFile>> m_files;
};

} // namespace

QString FolderScan::mirrored(const QString &source, const QString &relative, const QString &outputFolder,
                            const QString &extension, const SameFileTest &sameFile)
{
    QString folder = outputFolder;
    if (!outputFolder.isEmpty() && relative.contains(QLatin1Char('/')))
        folder = QDir(outputFolder).filePath(relative.left(relative.lastIndexOf(QLatin1Char('/'))));
    return destinationFor(source, extension, folder, sameFile);
}

bool FolderScan::restat(FolderFile &file)
{
    struct stat info {};
    if (::stat(FileNameBytes::encode(file.path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    file.size = info.st_size;
    file.modifiedNs = nanoseconds(info.st_mtim);
    return true;
}

QList<FolderFile> FolderScan::list(const QString &folder, const Options &options, QStringList *linksOut, QStringList *folders)
{
    return Walker(folder, options, linksOut, folders).run();
}

FolderScanResult FolderScan::scan(const QString &folder, const Options &options)
{
    FolderScanResult result;
    QElapsedTimer clock;
    clock.start();
    const QList<FolderFile> files = list(folder, options, &result.linksOut);
    const auto isMedia = options.isMedia ? options.isMedia : [](const QString &path) { return isMediaFile(path); };
    // Probing takes a while anyway; what is left of the short check is waited for once.
    QList<FolderFile> media;
    QStringList notMedia;
    for (const FolderFile &file : files) {
        if (isMedia(file.path))
            media.append(file);
        else
            notMedia.append(file.path);
    }
    if (const qint64 left = options.settleMs - clock.elapsed(); left > 0 && !files.isEmpty())
        QThread::msleep(ulong(left));
    // A file still being written is said as such, whatever its first bytes looked like.
    QSet<QString> growing; // and gone
    for (const FolderFile &file : files) {
        FolderFile now = file;
        if (!restat(now)) {
            growing.insert(file.path);
        } else if (!now.sameState(file)) {
            growing.insert(file.path);
            result.growing.append(file.path);
        }
    }
    for (const FolderFile &file : std::as_const(media)) {
        if (!growing.contains(file.path))
            result.media.append(file);
    }
    for (const QString &path : std::as_const(notMedia)) {
        if (!growing.contains(path))
            result.notMedia.append(path);
    }
    return result;
}
