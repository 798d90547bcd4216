#include "engine/FailureReason.h"

#include "protocol/Protocol.h"

#include <QRegularExpression>
#include <QStringList>

#include <csignal>
#include <cstring>

namespace {

// One kind of line in the encoder's output. A row with words names a cause and tells it in the
// user's terms (%1... are the pattern's captures); a row without words never says why.
struct ReasonRow {
    const char *pattern; // matched against the whole trimmed line
    const char *words;
};

// Known causes. ffmpeg prints a consequence after some of them ("noext: Invalid argument",
// "Error initializing output stream 0:1 --"), so a cause wins over the lines below it.
constexpr ReasonRow Causes[] = {
    {R"((?:\[NULL @ 0x[0-9a-f]+\] )?Unable to find a suitable output format for '(.*)')",
     "%1: the destination name has no extension ffmpeg knows"},
    {R"(\[\w+ @ 0x[0-9a-f]+\] Could not find tag for codec (\S+) in stream #\d+, codec not currently supported in container)",
     "this container cannot hold that codec (%1)"},
    {R"(\[\w+ @ 0x[0-9a-f]+\] (?:Subtitle )?codec \S+ is not supported\.?)", "this container cannot hold that codec"},
    {R"(Stream map '0:[vV](?::0)?' matches no streams\.)", "the source has no video; use an audio preset"},
    {R"(Stream map '0:a(?::0)?' matches no streams\.)", Protocol::NoSoundTrack},
    {R"(Stream map '(.*)' matches no streams\.)", "the source has no stream that -map %1 asks for"},
    {R"(\[libx265 @ 0x[0-9a-f]+\] Image size is too small \((\d+x\d+)\)\.?)",
     "the picture (%1) is too small for H.265; use an H.264 preset"},
    {R"(Unknown encoder '(.*)')", "this ffmpeg has no encoder named %1"},
    // A filter says why first; "Failed to configure ..." and the lines after it are consequences.
    {R"(\[Parsed_(\w+?)_\d+ @ 0x[0-9a-f]+\] (?!Failed to configure)(.+))", "the filter %1 failed: %2"},
    {R"(\[\w+ @ 0x[0-9a-f]+\] Invalid segment filename template '(.*)')",
     "the segment format writes numbered files and needs a name pattern such as %03d; a preset writes one file"},
    {R"(Unrecognized option '(.*)'\.?)", "ffmpeg does not know the option -%1"},
};

// Lines that never say why: progress, listings, summaries and closings every run prints, and
// the adapter's notes about what it changed.
constexpr const char *Chatter[] = {
    R"((?:frame|size)=.*)",
    R"(video:\s*\S+ audio:.*)",
    "Conversion failed!",
    R"(Exiting normally, received signal \d+\.)",
    R"(Press \[q\] to stop.*)",
    R"(\[[^\]@]+ @ 0x[0-9a-f]+\] (?:Qavg:|frame [IPB]:|mb [IPB] |final ratefactor|8x8 transform|coded y,)"
    R"(|i16 |i8 |i4 |i8c |Weighted P-Frames|ref [PB] L|kb/s:|consecutive B-frames|direct mvs)"
    R"(|\d+ frames left in the queue on closing).*)",
    R"(Last message repeated \d+ times?)",
    R"((?:Input|Output) #\d+, .*)",
    R"(Stream #\d+:\d+.*)",
    "Stream mapping:",
    R"((?:Duration|Metadata|Side data|Chapters?):.*)",
    R"(Chapter #\d+:\d+.*)",
    R"(To ignore this, add a trailing '\?' to the map\.)",
    // "encoder         : Lavc59.37.100 aac", "handler_name    : SoundHandler"
    R"([\w.-]+\s+: .*)",
};

// The adapter's notes about what it changed: "avformat.dll: ...; using ...".
QString adapterNotes()
{
    QStringList actions;
    for (const char *action : Protocol::NoteActions)
        actions << QRegularExpression::escape(QLatin1String(action));
    return QRegularExpression::escape(QLatin1String(Protocol::OutputPrefix)) + QLatin1String(".*; (?:")
        + actions.join(QLatin1Char('|')) + QLatin1String(") .*");
}

struct CompiledCause {
    QRegularExpression pattern;
    QString words;
};

const std::vector<CompiledCause> &causes()
{
    static const std::vector<CompiledCause> compiled = [] {
        std::vector<CompiledCause> rows;
        for (const ReasonRow &row : Causes)
            rows.push_back({QRegularExpression(QLatin1String("^(?:") + QLatin1String(row.pattern) + QLatin1String(")$")),
                            QString::fromUtf8(row.words)});
        return rows;
    }();
    return compiled;
}

const QRegularExpression &chatter()
{
    static const QRegularExpression pattern = [] {
        QStringList alternatives;
        for (const char *line : Chatter)
            alternatives << QString::fromUtf8(line);
        alternatives << adapterNotes();
        return QRegularExpression(QLatin1String("^(?:") + alternatives.join(QLatin1Char('|')) + QLatin1String(")$"));
    }();
    return pattern;
}

QString told(const CompiledCause &cause, const QRegularExpressionMatch &match)
{
    QString words = cause.words;
    for (int i = 1; i <= match.lastCapturedIndex(); ++i)
        words.replace(QLatin1Char('%') + QString::number(i), match.captured(i));
    return words;
}

} // namespace

namespace FailureReason {

QString tellingLine(const QString &output)
{
    const QStringList lines = output.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        const QString line = it->trimmed();
        for (const CompiledCause &cause : causes()) {
            if (const QRegularExpressionMatch match = cause.pattern.match(line); match.hasMatch())
                return told(cause, match);
        }
    }
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        const QString line = it->trimmed();
        if (!line.isEmpty() && !chatter().match(line).hasMatch())
            return line;
    }
    return {};
}

QString killedBy(int signal)
{
    const char *name = signal > 0 && signal < NSIG ? strsignal(signal) : nullptr;
    return QStringLiteral("the encoder was killed by signal %1 (%2)")
        .arg(signal)
        .arg(name ? QString::fromLocal8Bit(name) : QStringLiteral("unknown"));
}

} // namespace FailureReason
