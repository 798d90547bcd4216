#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

// What a conversion writes beyond its preset: which sound and subtitle tracks, a subtitle burned
// into the picture, a part of the time, a part of the picture, the source's metadata and its
// file date. Every choice left unset keeps the preset's own behaviour; metadata and the date are
// kept unless turned off. The same value comes from the command line, the user's preset file, a
// queue item and the recovery file, in the command line's words.
class ConversionOptions {
public:
    // Which tracks of one kind the conversion writes. Preset: not chosen, so the preset's own
    // choice.
    struct Tracks {
        enum class Kind { Preset, First, All, None, Keep, Forced, Number, Language };

        Kind kind = Kind::Preset;
        int number = 0;   // from 1, among the source's tracks of that kind
        QString language; // as given, lower case

        bool isSet() const { return kind != Kind::Preset; }
        // "first", "all", "2", "deu", ...: as the command line takes it.
        QString text() const;
        bool operator==(const Tracks &) const = default;
    };

    // Which part of the picture. Preset: not chosen, the whole picture.
    struct Crop {
        enum class Mode { Preset, None, Auto, Rectangle };

        Mode mode = Mode::Preset;
        int width = 0;
        int height = 0;
        int x = 0;
        int y = 0;

        bool isSet() const { return mode != Mode::Preset; }
        QString text() const;
        bool operator==(const Crop &) const = default;
    };

    Tracks audio;
    Tracks subtitles;
    Tracks burn;
    std::optional<qint64> startMs;
    std::optional<qint64> endMs;
    std::optional<qint64> lengthMs;
    Crop crop;
    std::optional<bool> metadata; // unset: kept
    std::optional<bool> keepDate; // unset: kept

    bool keepsMetadata() const { return metadata.value_or(true); }
    bool keepsDate() const { return keepDate.value_or(true); }
    // Nothing set at all.
    bool isEmpty() const { return *this == ConversionOptions(); }
    // Something that changes the encoder's line, so the source must be read first.
    bool changesLine() const;
    bool trims() const { return startMs || endMs || lengthMs; }

    // These over this: each choice set in overrides wins.
    ConversionOptions overriddenBy(const ConversionOptions &overrides) const;

    // Sets one option by its command-line name without the dashes ("audio", "subtitles", "burn",
    // "start", "end", "length", "crop", "metadata", "keep-date"); the value as the command line
    // takes it ("true"/"false" for the last two). An error naming the option, or nothing.
    std::optional<QString> set(const QString &name, const QString &value);
    // The option names set() knows.
    static const QStringList &names();

    // In the command line's words: {"audio": "deu", "start": "1:20", "metadata": false, ...}.
    QJsonObject toJson() const;
    static std::variant<ConversionOptions, QString> fromJson(const QJsonObject &object);
    // For a queue row: "sound deu · subtitles keep · 0:10–0:20 · crop auto"; empty when unset.
    QString summary() const;

    // "[[h:]m:]s[.ms]" in milliseconds; nothing when malformed.
    static std::optional<qint64> parseTime(const QString &text);
    // "1:02:03.5", "1:20", "0:12.25": as a clock shows it, and parseTime reads it back.
    static QString timeText(qint64 ms);

    bool operator==(const ConversionOptions &) const = default;
};
