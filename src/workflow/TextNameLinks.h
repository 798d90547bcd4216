#pragma once

#include <QString>
#include <QDir>
#include <QTemporaryDir>

#include <memory>
#include <unistd.h>

// Names that are not text (see FileNameBytes) cannot reach the encoder as arguments: a process's
// arguments pass through Qt as UTF-8. For such a run the encoder is given links with text names,
// in a private folder of its own, that point at the source and the destination by their bytes;
// the encoder adapter follows the destination's link and writes its target. The links and their
// folder go with this object; a run that is killed leaves them to the next one, whose process
// id names the folder.
class TextNameLinks {
public:
    // Nothing when the folder or a link cannot be made.
    static std::unique_ptr<TextNameLinks> make(const QString &source, const QString &destination);

    QString source() const { return m_source; }
    QString destination() const { return m_destination; }
    // The encoder's words with the links named as the user named their files.
    QString asTheUserNamed(QString text) const;
    // Removes what runs that were killed left (their process is gone); each run does so first.
    static void removeLeftovers(const QByteArray &temporaryFolder);

private:
    TextNameLinks() = default;
    bool link(const QString &target, const QString &name, QString &linkPath);

    // For this user alone; removed with the links in it.
    QTemporaryDir m_folder{QDir::tempPath() + QStringLiteral("/vidomar-names-%1-XXXXXX").arg(::getpid())};
    QString m_source;
    QString m_destination;
    QString m_userSource;
    QString m_userDestination;
};
