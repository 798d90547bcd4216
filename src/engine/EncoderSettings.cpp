#include "engine/EncoderSettings.h"

const std::array<SettingInfo, SettingCount> SettingTable{{
    {Setting::VideoBitrate, "VideoBitrate", "-b ", false},
    {Setting::VideoFrameRate, "VideoFrameRate", "-r ", false},
    {Setting::VideoSize, "VideoSize", "-s ", false},
    {Setting::VideoCodec, "VideoCodec", "-vcodec ", false},
    {Setting::VideoFourCCTag, "VideoFourCCTag", "-vtag ", false},
    {Setting::VideoAspectRatio, "VideoAspectRatio", "-aspect ", false},
    {Setting::VideoBitrateTolerance, "VideoBitrateTolerance", "-bt ", false},
    {Setting::ForceFormat, "ForceFormat", "-f ", false},
    {Setting::TargetFormat, "TargetFormat", "-target ", false},
    {Setting::RateControlBuffer, "RateControlBuffer", "-bufsize ", false},
    {Setting::GroupOfPictureSize, "GroupOfPictureSize", "-g ", false},
    {Setting::VideoQuantiserScale, "VideoQuantiserScale", "-qscale ", false},
    {Setting::MaxVideoBitrate, "MaxVideoBitrate", "-maxrate ", false},
    {Setting::DeInterlace, "DeInterlace", "-deinterlace", true},
    {Setting::SameQuality, "SameQuality", "-sameq", true},
    {Setting::AudioCodec, "AudioCodec", "-acodec ", false},
    {Setting::AudioFourCCTag, "AudioFourCCTag", "-atag ", false},
    {Setting::AudioBitrate, "AudioBitrate", "-ab ", false},
    {Setting::AudioSamples, "AudioSamples", "-ar ", false},
    {Setting::AudioChannels, "AudioChannels", "-ac ", false},
    {Setting::ExtraOptions, "ExtraOptions", "", false},
}};

const SettingInfo &settingInfo(Setting setting)
{
    return SettingTable[static_cast<size_t>(setting)];
}

void EncoderSettings::set(Setting setting, const QString &value)
{
    m_values[static_cast<size_t>(setting)] = value;
}

void EncoderSettings::setFlag(Setting setting, bool on)
{
    m_flags[static_cast<size_t>(setting)] = on;
}

QString EncoderSettings::value(Setting setting) const
{
    return m_values[static_cast<size_t>(setting)];
}

bool EncoderSettings::flag(Setting setting) const
{
    return m_flags[static_cast<size_t>(setting)];
}

void EncoderSettings::clear()
{
    m_values.fill(QString());
    m_flags.fill(false);
    m_asWritten = false;
    m_optionArguments.clear();
}

QString EncoderSettings::options(bool overWrite) const
{
    QString line;
    if (overWrite)
        line += QLatin1String("-y ");
    for (const SettingInfo &info : SettingTable) {
        const auto i = static_cast<size_t>(info.setting);
        if (info.flag) {
            if (m_flags[i])
                line += QLatin1String(info.option) + QLatin1Char(' ');
        } else if (!m_values[i].isEmpty()) {
            line += QLatin1String(info.option) + m_values[i] + QLatin1Char(' ');
        }
    }
    return line;
}
