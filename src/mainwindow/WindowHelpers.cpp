#include "mainwindow/WindowHelpers.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QWidget>

QString PathExtension(const QString &path)
{
    return QLatin1Char('.') + path.split(QLatin1Char('.')).last();
}

QString dialogFilter(const QString &filter)
{
    const QStringList parts = filter.split(QChar(0));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        // A pattern list comes as "*.avi;*.mp4"; the dialog separates patterns by blanks.
        const QString pattern = parts.at(i + 1).trimmed().replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.endsWith(QLatin1Char('(') + pattern + QLatin1Char(')')))
            filters << description;
        else
            filters << QStringLiteral("%1 (%2)").arg(description, pattern);
    }
    return filters.join(QLatin1String(";;"));
}

namespace {

QString showDialog(bool save, const QString &title, const QString &filter, const QString &initialDir, QWidget *owner,
                   const QString &defaultName)
{
    const FileDialogs::Request request{save, title, dialogFilter(filter), initialDir, defaultName};
    if (const FileDialogs::Handler answer = FileDialogs::current())
        return answer(request);
    QString start = initialDir;
    if (!defaultName.isEmpty())
        start = QDir(initialDir).filePath(defaultName);
    if (save)
        return QFileDialog::getSaveFileName(owner, title, start, request.filter, nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    return QFileDialog::getOpenFileName(owner, title, start, request.filter);
}

} // namespace

QString ShowOpenDialog(const QString &title, const QString &filter, const QString &initialDir, QWidget *owner,
                       const QString &defaultName)
{
    return showDialog(false, title, filter, initialDir, owner, defaultName);
}

QStringList ShowOpenDialogMany(const QString &title, const QString &filter, const QString &initialDir, QWidget *owner)
{
    FileDialogs::Request request{false, title, dialogFilter(filter), initialDir, QString()};
    request.many = true;
    if (const FileDialogs::Handler answer = FileDialogs::current())
        return answer(request).split(QChar(0), Qt::SkipEmptyParts);
    return QFileDialog::getOpenFileNames(owner, title, initialDir, request.filter);
}

QString ShowSaveDialog(const QString &title, const QString &filter, const QString &initialDir, QWidget *owner,
                       const QString &defaultName)
{
    return showDialog(true, title, filter, initialDir, owner, defaultName);
}

void SetIcon(QWidget *window, const QString &resourceName, bool alsoOwner)
{
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/icons/%1/%2.png").arg(resourceName).arg(size), QSize(size, size));
    if (alsoOwner)
        QApplication::setWindowIcon(icon);
    if (window)
        window->setWindowIcon(icon);
}
