#include "engine/FailureReason.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// Lines that never say why: they are printed by every run, failed or not.
const QRegularExpression &chatter()
{
    static const QRegularExpression pattern(QStringLiteral(
        "^(?:"
        "(?:frame|size)=.*"                                   // progress
        "|video:\\s*\\S+ audio:.*"                            // the size summary
        "|Conversion failed!"                                 // ffmpeg's generic closing
        "|Exiting normally, received signal \\d+\\."          // a stop asked for
        "|Press \\[q\\] to stop.*"
        "|\\[[^\\]@]+ @ 0x[0-9a-f]+\\] (?:Qavg:|frame [IPB]:|mb [IPB] |final ratefactor|8x8 transform|coded y,"
        "|i16 |i8 |i4 |i8c |Weighted P-Frames|ref [PB] L|kb/s:|consecutive B-frames|direct mvs).*" // encoder statistics
        ")$"));
    return pattern;
}

} // namespace

namespace FailureReason {

QString tellingLine(const QString &output)
{
    const QStringList lines = output.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        const QString line = it->trimmed();
        if (!line.isEmpty() && !chatter().match(line).hasMatch())
            return line;
    }
    return {};
}

} // namespace FailureReason
