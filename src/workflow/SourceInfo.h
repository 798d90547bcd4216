#pragma once

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// What a source holds, as ffprobe reads it: its streams, chapters, global tags and duration.
// Read once per source before the options of its conversion are applied; a source that cannot be
// read carries the reason in error.
struct SourceInfo {
    struct Stream {
        enum class Type { Video, Audio, Subtitle, Data, Attachment, Other };

        int index = 0; // the stream's index in the file ("0:index" to ffmpeg)
        Type type = Type::Other;
        QString codec;
        QString language; // as tagged, "und" or empty when unknown
        QString title;
        bool isDefault = false;
        bool forced = false;
        bool attachedPicture = false; // cover art: not video
        int channels = 0;
        int width = 0;
        int height = 0;
        double frameRate = 0;
        int rotation = 0; // degrees the picture is turned for display

        // Subtitles made of text (rendered by the player), as opposed to pictures.
        bool isText() const;
        // A video track that is a picture to watch, not cover art.
        bool isPicture() const { return type == Type::Video && !attachedPicture; }
        // "video", "audio", "subtitle", ...: ffprobe's words.
        static QString typeName(Type type);
    };

    struct Chapter {
        double start = 0;
        double end = 0;
        QString title;
    };

    QString path; // what the tools open
    QString name; // what messages call it: the file's name unless set
    QString error; // why the source could not be read; empty when it was
    QString formatName;
    std::optional<double> duration; // seconds
    QList<Stream> streams;
    QList<Chapter> chapters;
    QMap<QString, QString> tags;

    bool ok() const { return error.isEmpty(); }
    // The streams of one type in file order: "--audio 2" is the second of these.
    QList<Stream> ofType(Stream::Type type) const;
    // The first picture track (never cover art), or nothing.
    std::optional<Stream> picture() const;

    // Runs ffprobe on the file, within a bounded time and output.
    static SourceInfo read(const QString &path);
    // ffprobe's JSON (-show_format -show_streams -show_chapters -of json).
    static SourceInfo parse(const QByteArray &json, const QString &path);

    // What --probe shows: a few lines for people, or one JSON object.
    QString describe(const QString &cropSuggestion = QString()) const;
    QJsonObject toJson() const;
};
