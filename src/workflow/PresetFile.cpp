#include "workflow/PresetFile.h"

#include "common/UserSettings.h"
#include "workflow/PresetOutputs.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace PresetFile {

namespace {

QString fileProblem(const QString &file, const QString &what)
{
    return QStringLiteral("%1: %2; none of its presets is loaded.").arg(file, what);
}

// Line and column of a byte offset, both counted from 1, for a parse error a person can find.
QString position(const QByteArray &json, qsizetype offset)
{
    const QByteArray before = json.left(offset);
    const qsizetype line = before.count('\n') + 1;
    const qsizetype column = offset - (before.lastIndexOf('\n') + 1) + 1;
    return QStringLiteral("line %1, column %2").arg(line).arg(column);
}

bool isOneLine(const QString &name)
{
    for (QChar c : name) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return false;
    }
    return name.trimmed() == name;
}

// What is wrong with one entry, or nothing; fills entry as far as it gets.
std::optional<QString> check(const QJsonValue &value, Entry &entry)
{
    if (!value.isObject())
        return QStringLiteral("it is not an object");
    const QJsonObject object = value.toObject();

    const QJsonValue name = object.value(QLatin1String("name"));
    if (!name.isString())
        return QStringLiteral("\"name\" must be a text");
    if (name.toString().isEmpty())
        return QStringLiteral("\"name\" is empty");
    if (!isOneLine(name.toString()))
        return QStringLiteral("\"name\" must be one line without blanks at either end");
    entry.name = name.toString();

    // The extension also names files on the command line, so it stays plain.
    static const QRegularExpression Extension(QStringLiteral("^\\.[A-Za-z0-9]{1,15}$"));
    const QJsonValue extension = object.value(QLatin1String("extension"));
    if (!extension.isString() || !Extension.match(extension.toString()).hasMatch())
        return QStringLiteral("\"extension\" must be a dot and up to 15 letters or digits, as \".mp4\"");
    entry.extension = extension.toString();

    const QJsonValue arguments = object.value(QLatin1String("arguments"));
    if (!arguments.isArray())
        return QStringLiteral("\"arguments\" must be a list of texts, as [\"-c:v\", \"libx264\"]");
    const QJsonArray list = arguments.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (!list.at(i).isString())
            return QStringLiteral("\"arguments\" item %1 is not a text").arg(i + 1);
        entry.arguments << list.at(i).toString();
    }
    // The job adds -y to every run, and ffmpeg refuses -n beside it; an empty argument names no
    // file and no option, and fails every run.
    for (qsizetype i = 0; i < entry.arguments.size(); ++i) {
        const QString &argument = entry.arguments.at(i);
        if (argument.isEmpty())
            return QStringLiteral("\"arguments\" item %1 is empty").arg(i + 1);
        // A process's arguments end at a NUL: the rest would be lost without a word.
        if (argument.contains(QChar(0)))
            return QStringLiteral("\"arguments\" item %1 holds a NUL character, which no argument can carry").arg(i + 1);
        if (argument == QLatin1String("-n") || argument == QLatin1String("-y"))
            return QStringLiteral("\"arguments\" item %1 is \"%2\": the program decides about replacing the "
                                  "destination")
                .arg(i + 1)
                .arg(argument);
    }
    const QJsonValue options = object.value(QLatin1String("options"));
    if (!options.isUndefined()) {
        if (!options.isObject())
            return QStringLiteral("\"options\" must be an object, as {\"audio\": \"all\"}");
        auto parsed = ConversionOptions::fromJson(options.toObject());
        if (const QString *problem = std::get_if<QString>(&parsed))
            return QStringLiteral("\"options\": ") + *problem;
        entry.options = std::get<ConversionOptions>(parsed);
    }
    if (const std::optional<qsizetype> output = PresetOutputs::secondOutput(entry.arguments))
        return QStringLiteral("\"arguments\" item %1 (\"%2\") would be a second output file; a preset writes only "
                              "the destination")
            .arg(*output + 1)
            .arg(entry.arguments.at(*output).left(200));
    return std::nullopt;
}

} // namespace

Contents parse(const QByteArray &json, const QString &file, const QStringList &takenNames)
{
    Contents contents;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        contents.problems << fileProblem(file, QStringLiteral("it is not valid JSON (%1 at %2)")
                                                   .arg(error.errorString(), position(json, error.offset)));
        return contents;
    }
    const QJsonValue presets = document.object().value(QLatin1String("presets"));
    if (!presets.isArray()) {
        contents.problems << fileProblem(file, QStringLiteral("it must hold an object with a \"presets\" list"));
        return contents;
    }

    const QJsonArray list = presets.toArray();
    // Sets, so that a file of many thousand presets loads in time linear in its size.
    const QSet<QString> taken(takenNames.begin(), takenNames.end());
    QSet<QString> loaded;
    for (qsizetype i = 0; i < list.size(); ++i) {
        Entry entry;
        std::optional<QString> problem = check(list.at(i), entry);
        if (!problem && taken.contains(entry.name))
            problem = QStringLiteral("the name belongs to a preset of the program");
        if (!problem && loaded.contains(entry.name))
            problem = QStringLiteral("an earlier entry has the same name");
        if (!problem) {
            loaded.insert(entry.name);
            contents.entries << entry;
            continue;
        }
        const QString label = entry.name.isEmpty() ? QStringLiteral("entry %1").arg(i + 1)
                                                   : QStringLiteral("entry %1 (\"%2\")").arg(i + 1).arg(entry.name);
        contents.problems << QStringLiteral("%1, %2: %3; the entry is skipped.").arg(file, label, *problem);
    }
    return contents;
}

Contents read(const QString &path, const QStringList &takenNames)
{
    const auto cannotRead = [&path](const QString &why) {
        return Contents{{}, {fileProblem(path, QStringLiteral("it cannot be read (%1)").arg(why))}};
    };
    // Opened without waiting, so that a named pipe or a device in its place cannot hold up the
    // start; only a regular file is read.
    QFile file;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? Contents{} : cannotRead(QString::fromLocal8Bit(std::strerror(errno)));
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return cannotRead(file.errorString());
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return cannotRead(QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISDIR(info.st_mode))
        return {{}, {fileProblem(path, QStringLiteral("it is a folder"))}};
    if (!S_ISREG(info.st_mode))
        return {{}, {fileProblem(path, QStringLiteral("it is not a regular file"))}};
    const QByteArray json = file.read(MaxSize + 1);
    if (json.size() > MaxSize)
        return {{}, {fileProblem(path, QStringLiteral("it is larger than 4 MiB"))}};
    return parse(json, path, takenNames);
}

QString userFilePath()
{
    const QSettings settings = userSettings();
    return QFileInfo(settings.fileName()).absolutePath() + QLatin1String("/vidomar-presets.json");
}

} // namespace PresetFile
