#include "workflow/TextNameLinks.h"

#include "workflow/FileNameBytes.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char Prefix[] = "/vidomar-names-";

// "vidomar-names-<pid>-XXXXXX": the process that made it, when it reads so.
std::optional<pid_t> makerOf(const QByteArray &name)
{
    const QByteArray rest = name.mid(qsizetype(qstrlen(Prefix)) - 1);
    const qsizetype dash = rest.indexOf('-');
    bool ok = false;
    const qlonglong pid = rest.left(dash).toLongLong(&ok);
    if (dash <= 0 || !ok || pid <= 0 || rest.size() - dash - 1 != 6)
        return std::nullopt;
    return pid_t(pid);
}

// The last extension when it is plain text, for the encoder that picks a container by it.
QString extensionOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return !suffix.isEmpty() && FileNameBytes::isText(suffix) ? QLatin1Char('.') + suffix : QString();
}

} // namespace

std::unique_ptr<TextNameLinks> TextNameLinks::make(const QString &source, const QString &destination)
{
    std::unique_ptr<TextNameLinks> links(new TextNameLinks);
    removeLeftovers(QFile::encodeName(QDir::tempPath()));
    links->m_userSource = source;
    links->m_userDestination = destination;
    if (!links->m_folder.isValid())
        return nullptr;
    if (!links->link(source, QLatin1String("source") + extensionOf(source), links->m_source)
        || !links->link(destination, QLatin1String("destination") + extensionOf(destination), links->m_destination))
        return nullptr;
    return links;
}

bool TextNameLinks::link(const QString &target, const QString &name, QString &linkPath)
{
    // Absolute, as the link lives elsewhere; the path is joined as text, the bytes kept.
    const QString absolute = QDir::isAbsolutePath(target) ? target : QDir::currentPath() + QLatin1Char('/') + target;
    linkPath = m_folder.filePath(name);
    return ::symlink(FileNameBytes::encode(absolute).constData(), QFile::encodeName(linkPath).constData()) == 0;
}

QString TextNameLinks::asTheUserNamed(QString text) const
{
    text.replace(m_source, m_userSource);
    return text.replace(m_destination, m_userDestination);
}

void TextNameLinks::removeLeftovers(const QByteArray &temporaryFolder)
{
    DIR *dir = ::opendir(temporaryFolder.constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith(Prefix + 1))
            continue;
        const std::optional<pid_t> maker = makerOf(name);
        // Only folders of this user whose process is gone; each holds nothing but two links.
        const QByteArray folder = temporaryFolder + '/' + name;
        struct stat info {};
        if (!maker || ::kill(*maker, 0) == 0 || errno != ESRCH || ::lstat(folder.constData(), &info) != 0
            || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
            continue;
        if (DIR *inside = ::opendir(folder.constData())) {
            while (const dirent *link = ::readdir(inside)) {
                struct stat linkInfo {};
                const QByteArray path = folder + '/' + link->d_name;
                if (::lstat(path.constData(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode))
                    ::unlink(path.constData());
            }
            ::closedir(inside);
        }
        ::rmdir(folder.constData());
    }
    ::closedir(dir);
}
