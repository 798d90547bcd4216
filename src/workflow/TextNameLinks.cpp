#include "workflow/TextNameLinks.h"

#include "workflow/FileNameBytes.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace {

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
