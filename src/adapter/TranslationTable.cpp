#include "TranslationTable.h"

#include <algorithm>
#include <array>

namespace {

constexpr double NoLimit = 0;

constexpr std::array OptionRows{
    // Bitrates were kbit/s until late 2006; plain numbers this large are already bit/s.
    OptionRow{"-b", "", When::Always, "-b:v", ValueRule::KiloBits, "", 100000, "-b counts kbit/s"},
    OptionRow{"-ab", "", When::Always, "-b:a", ValueRule::KiloBits, "", 10000, "-ab counts kbit/s"},
    OptionRow{"-bt", "", When::Always, "-bt", ValueRule::KiloBits, "", 100000, "-bt counts kbit/s"},
    OptionRow{"-maxrate", "", When::Always, "-maxrate", ValueRule::KiloBits, "", 100000, "-maxrate counts kbit/s"},
    // The buffer size was given in kilobytes (128 -> 1048576 bits).
    OptionRow{"-bufsize", "", When::Always, "-bufsize", ValueRule::KiloBytes, "", 100000, "-bufsize counts kilobytes"},
    // The decimal NTSC rates stand for the exact fractions; 29.97 itself drifts against the audio.
    OptionRow{"-r", "29.97", When::Always, "-r", ValueRule::Set, "30000/1001", NoLimit, "29.97 is the NTSC rate"},
    OptionRow{"-r", "23.976", When::Always, "-r", ValueRule::Set, "24000/1001", NoLimit, "23.976 is the NTSC film rate"},
    OptionRow{"-r", "59.94", When::Always, "-r", ValueRule::Set, "60000/1001", NoLimit, "59.94 is the NTSC field rate"},
    // Encoders that were renamed when they moved to external libraries.
    OptionRow{"-vcodec", "xvid", When::Always, "-vcodec", ValueRule::Set, "libxvid", NoLimit, "xvid is now libxvid"},
    OptionRow{"-vcodec", "h264", When::Always, "-vcodec", ValueRule::Set, "libx264", NoLimit, "h264 is now libx264"},
    OptionRow{"-acodec", "mp3", When::Always, "-acodec", ValueRule::Set, "libmp3lame", NoLimit, "mp3 is now libmp3lame"},
    // FFmpeg's own AAC encoder keeps the old name.
    OptionRow{"-acodec", "aac", When::Always, "-acodec", ValueRule::Keep, "", NoLimit, ""},
    // AMR-NB needs the OpenCORE library; the 3gp muxer takes no other usable 8 kHz codec than AAC.
    OptionRow{"-acodec", "amr_nb", When::AmrEncoder, "-acodec", ValueRule::Set, "libopencore_amrnb", NoLimit, "amr_nb is now libopencore_amrnb"},
    OptionRow{"-acodec", "amr_nb", When::NoAmrEncoder, "-acodec", ValueRule::Set, "aac", NoLimit, "amr_nb is not available here"},
    // x264 ignored the quantiser then and warns about it now; the bitrate of -b holds.
    OptionRow{"-qscale", "", When::H264Video, "", ValueRule::Keep, "", NoLimit, "x264 takes no -qscale"},
    OptionRow{"-qscale", "", When::Always, "-q:v", ValueRule::Keep, "", NoLimit, "-qscale is now -q:v"},
    // "Same quality" fixed the quantiser and ignored -b; with -b the bitrate is what the preset means.
    OptionRow{"-sameq", "", When::BitrateGiven, "", ValueRule::Keep, "", NoLimit, "-sameq is gone and -b sets the rate"},
    OptionRow{"-sameq", "", When::Always, "-q:v", ValueRule::Set, "2", NoLimit, "-sameq is gone"},
    // The option deinterlaced every frame; the filter runs before any scaling.
    OptionRow{"-deinterlace", "", When::Always, "-vf", ValueRule::Set, "yadif", NoLimit, "-deinterlace is now a filter"},
    // Current names of the FourCC options.
    OptionRow{"-vtag", "", When::Always, "-tag:v", ValueRule::Keep, "", NoLimit, "-vtag is now -tag:v"},
    OptionRow{"-atag", "", When::Always, "-tag:a", ValueRule::Keep, "", NoLimit, "-atag is now -tag:a"},
};

constexpr std::array AdditionRows{
    // RealMedia fails with packets over 64 kB on busy video unless the rate is bounded.
    AdditionRow{"rm", When::NoRateLimit, "-bufsize 500k -maxrate 8M", "RealMedia needs small packets"},
    // MPEG-4 part 2 was the old default for these; today's default would be x264.
    AdditionRow{"mov mp4", When::NoVideoCodec, "-c:v mpeg4", "mpeg4 was the default video codec"},
    // Audio-only muxers take no video stream.
    AdditionRow{"mp3 wav aac m4a flac ac3 mp2 amr oga", When::Always, "-vn", "the format takes no video"},
};

// Old and current options that take a value.
constexpr std::string_view ValueOptions[]{
    "-i", "-b", "-ab", "-bt", "-maxrate", "-minrate", "-bufsize", "-r", "-s", "-aspect",
    "-vcodec", "-acodec", "-vtag", "-atag", "-g", "-f", "-target", "-qscale", "-ar", "-ac",
    "-vf", "-af", "-filter:v", "-filter:a", "-c:v", "-c:a", "-codec:v", "-codec:a", "-b:v", "-b:a",
    "-q:v", "-q:a", "-tag:v", "-tag:a", "-map", "-ss", "-t", "-to", "-threads", "-metadata",
    "-pix_fmt", "-vframes", "-frames:v", "-c", "-codec", "-loglevel", "-v",
    "-c:s", "-codec:s", "-crf", "-preset", "-movflags", "-row-mt", "-deadline", "-cpu-used",
    "-x265-params", "-svtav1-params",
};

}

namespace TranslationTable {

std::span<const OptionRow> options()
{
    return OptionRows;
}

std::span<const AdditionRow> additions()
{
    return AdditionRows;
}

bool takesValue(std::string_view option)
{
    return std::ranges::find(ValueOptions, option) != std::end(ValueOptions);
}

}
