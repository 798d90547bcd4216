#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The conversion job's encoder settings, in the order their options appear on the command line.
enum class Setting : int {
    VideoBitrate,
    VideoFrameRate,
    VideoSize,
    VideoCodec,
    VideoFourCCTag,
    VideoAspectRatio,
    VideoBitrateTolerance,
    ForceFormat,
    TargetFormat,
    RateControlBuffer,
    GroupOfPictureSize,
    VideoQuantiserScale,
    MaxVideoBitrate,
    DeInterlace,
    SameQuality,
    AudioCodec,
    AudioFourCCTag,
    AudioBitrate,
    AudioSamples,
    AudioChannels,
    // Today's encoder arguments of a preset, already quoted for the command line.
    ExtraOptions,
};

struct SettingInfo {
    Setting setting;
    const char *name;   // the writer's name
    const char *option; // valued options end in a space; flags stand alone; empty: the value alone
    bool flag;
};

inline constexpr int SettingCount = 21;

// Command-line order: valued video options, the two flags, the audio options, then the extra
// options.
extern const std::array<SettingInfo, SettingCount> SettingTable;

const SettingInfo &settingInfo(Setting setting);

// The values of every setting; empty strings and false flags are "not set".
class EncoderSettings {
public:
    void set(Setting setting, const QString &value);
    void setFlag(Setting setting, bool on);
    QString value(Setting setting) const;
    bool flag(Setting setting) const;
    // The options are today's ffmpeg syntax, to reach ffmpeg as written rather than be translated
    // from the classic presets' syntax.
    void setAsWritten(bool on) { m_asWritten = on; }
    bool asWritten() const { return m_asWritten; }
    // The conversion's options resolved for its source (option and value in pairs), passed to the
    // adapter as one block ahead of the line; empty: none.
    void setOptionArguments(const QStringList &pairs) { m_optionArguments = pairs; }
    const QStringList &optionArguments() const { return m_optionArguments; }
    void clear();

    // The option part of the command line: "-y " when asked, then each set option followed by its
    // value and one space, in table order.
    QString options(bool overWrite) const;

private:
    std::array<QString, SettingCount> m_values;
    std::array<bool, SettingCount> m_flags{};
    bool m_asWritten = false;
    QStringList m_optionArguments;
};
