#include "workflow/PresetOutputs.h"

#include <QSet>

namespace {

// ffmpeg's options that take no value; every other option takes the argument after it.
const QSet<QString> &flagOptions()
{
    static const QSet<QString> flags{
        QStringLiteral("-an"), QStringLiteral("-vn"), QStringLiteral("-sn"), QStringLiteral("-dn"),
        QStringLiteral("-y"), QStringLiteral("-n"), QStringLiteral("-shortest"), QStringLiteral("-nostdin"),
        QStringLiteral("-stdin"), QStringLiteral("-hide_banner"), QStringLiteral("-nostats"), QStringLiteral("-stats"),
        QStringLiteral("-copyts"), QStringLiteral("-start_at_zero"), QStringLiteral("-ignore_unknown"),
        QStringLiteral("-copy_unknown"), QStringLiteral("-benchmark"), QStringLiteral("-benchmark_all"),
        QStringLiteral("-xerror"), QStringLiteral("-re"), QStringLiteral("-accurate_seek"),
        QStringLiteral("-noaccurate_seek"), QStringLiteral("-autorotate"), QStringLiteral("-noautorotate"),
        QStringLiteral("-autoscale"), QStringLiteral("-noautoscale"), QStringLiteral("-dump"), QStringLiteral("-hex"),
        QStringLiteral("-debug_ts"), QStringLiteral("-vstats"), QStringLiteral("-qphist"), QStringLiteral("-intra"),
        QStringLiteral("-psnr"), QStringLiteral("-deinterlace"), QStringLiteral("-fix_sub_duration"),
        QStringLiteral("-report"), QStringLiteral("-sameq"), QStringLiteral("-same_quant"),
        QStringLiteral("-find_stream_info"), QStringLiteral("-bitexact"),
        // The adapter's own directive for the copy into Matroska.
        QStringLiteral("--fit-matroska"),
    };
    return flags;
}

bool isOption(const QString &argument)
{
    return argument.size() > 1 && argument.startsWith(u'-');
}

} // namespace

namespace PresetOutputs {

std::optional<qsizetype> secondOutput(const QStringList &arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!isOption(argument))
            return i;
        if (!flagOptions().contains(argument))
            ++i; // its value
    }
    return std::nullopt;
}

} // namespace PresetOutputs
