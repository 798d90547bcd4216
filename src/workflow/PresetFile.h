#pragma once

#include "workflow/ConversionOptions.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Presets written as data: the program's group for today's devices and the user's own file share
// one JSON format,
//   {"presets": [{"name": "...", "extension": ".mp4", "arguments": ["-c:v", "libx264", ...],
//                 "options": {"audio": "all", "subtitles": "keep"}}]}
// with the encoder arguments in today's ffmpeg syntax and, optionally, the conversion options the
// preset starts from (in the command line's words; its flags override them). A broken file or entry is skipped and
// described in one line naming the file, the entry and what is wrong.
namespace PresetFile {

struct Entry {
    QString name;
    QString extension;
    QStringList arguments;
    ConversionOptions options;
};

struct Contents {
    QList<Entry> entries;
    QStringList problems;
};

// Larger files are refused rather than read.
inline constexpr qint64 MaxSize = 4 * 1024 * 1024;

// The entries of a JSON text; file names it in the problems. A name in takenNames, or one that an
// earlier entry already has, is a problem.
Contents parse(const QByteArray &json, const QString &file, const QStringList &takenNames);

// The same for a file; a file that does not exist holds no presets and is no problem.
Contents read(const QString &path, const QStringList &takenNames);

// The user's own presets, beside the program's settings file:
// $XDG_CONFIG_HOME/Zorvik/vidomar-presets.json, by default under ~/.config.
QString userFilePath();

} // namespace PresetFile
