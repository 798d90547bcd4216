#include "controls/button/model/ButtonLayouts.h"

namespace ButtonLayouts {

namespace {

using Id = ButtonProperty;

constexpr BagStep key(Id id) { return {BagStep::Kind::Property, id}; }
constexpr TextField field(Id id) { return {TextField::Kind::Field, id}; }
constexpr TextField accessor(Id id) { return {TextField::Kind::Accessor, id}; }
constexpr TextField special(TextField::Kind kind) { return {kind}; }

} // namespace

const std::array<BagStep, 83> &bagOrder()
{
    static constexpr std::array<BagStep, 83> Order{{
        key(Id::Enabled), key(Id::Font), {BagStep::Kind::CaptionLabel, Id::CaptionColor},
        key(Id::TintBright), key(Id::PicNormal), key(Id::PicOver), key(Id::PicDown),
        key(Id::CustomPic), key(Id::ButtonIcon), key(Id::ButtonIconShow), key(Id::MaskColor),
        key(Id::ButtonIconPos), key(Id::UpMotion), key(Id::UserDrag), key(Id::Fade),
        key(Id::FadeDelay), key(Id::CaptionColor), key(Id::CaptionShadow),
        key(Id::CaptionShadowColor), key(Id::AutoSize), key(Id::Effects), key(Id::EnableEffects),
        key(Id::ButtonIconSize), key(Id::Alpha), key(Id::AlphaValue), key(Id::RoundWidth),
        key(Id::RoundHeight), key(Id::RoundSizeAuto), key(Id::ArrowShow), key(Id::ArrowDirection),
        key(Id::ArrowColor), key(Id::ArrowPosition), key(Id::ArrowSize), key(Id::CaptionAutoAlign),
        key(Id::CaptionAlignment), key(Id::ArrowSplit), key(Id::DoubleClickEnable),
        key(Id::Texture), key(Id::TextureImage), key(Id::TextureAlpha), key(Id::TextureType),
        key(Id::SoundClick), key(Id::SoundIn), key(Id::SoundOut), key(Id::SoundDown),
        key(Id::SoundUp), key(Id::SoundCustom1), key(Id::SoundCustom2), key(Id::Sound),
        {BagStep::Kind::TempFolder},
        key(Id::Settings), key(Id::SettingsFile), key(Id::BorderSize), key(Id::BorderStyle),
        key(Id::MouseIcon), key(Id::Shadow), key(Id::ShadowColor), key(Id::ShadowSize),
        key(Id::ShadowStyle), key(Id::ButtonIconShadow), key(Id::Caption), key(Id::BorderColor1),
        key(Id::BorderColor2), key(Id::ButtonColorNormal1), key(Id::ButtonColorNormal2),
        key(Id::ButtonColorOver1), key(Id::ButtonColorOver2), key(Id::ButtonColorDown1),
        key(Id::ButtonColorDown2), key(Id::ButtonColorExtra1), key(Id::ButtonColorExtra2),
        key(Id::ButtonTheme), key(Id::ButtonStyleNormal), key(Id::ButtonStyleOver),
        key(Id::ButtonStyleDown), key(Id::ButtonColorBlendSize), key(Id::ButtonColorSplitSize),
        key(Id::Freeze), key(Id::Tint), key(Id::TintSaturation), key(Id::TintHue),
        key(Id::ButtonShape),
        // Newer than the stored forms: a form without it keeps the default.
        key(Id::ShowFocusRect),
    }};
    return Order;
}

const std::array<TextField, ThemeFieldCount> &themeFields()
{
    static constexpr std::array<TextField, ThemeFieldCount> Fields{{
        field(Id::ArrowColor), field(Id::BorderColor1), field(Id::BorderColor2),
        field(Id::BorderSize), field(Id::BorderStyle), field(Id::ButtonColorBlendSize),
        field(Id::ButtonColorDown1), field(Id::ButtonColorDown2), field(Id::ButtonColorExtra1),
        field(Id::ButtonColorExtra2), field(Id::ButtonColorNormal1), field(Id::ButtonColorNormal2),
        field(Id::ButtonColorOver1), field(Id::ButtonColorOver2), field(Id::ButtonColorSplitSize),
        field(Id::ButtonStyleDown), field(Id::ButtonStyleNormal), field(Id::ButtonStyleOver),
        field(Id::CaptionColor), field(Id::CaptionShadowColor), field(Id::CustomPic),
        accessor(Id::MaskColor), field(Id::RoundHeight), field(Id::RoundSizeAuto),
        field(Id::RoundWidth), field(Id::ShadowColor), field(Id::ShadowSize),
        field(Id::ShadowStyle), field(Id::Tint), field(Id::TintBright), field(Id::TintHue),
        field(Id::TintSaturation),
    }};
    return Fields;
}

const std::array<TextField, SettingsFieldCount> &settingsFields()
{
    using K = TextField::Kind;
    // The properties in alphabetical order, the control's Height and Width in the places of
    // those words, then the font.
    static constexpr std::array<TextField, SettingsFieldCount> Fields{{
        field(Id::Alpha), field(Id::AlphaValue), field(Id::ArrowColor), field(Id::ArrowDirection),
        field(Id::ArrowPosition), field(Id::ArrowShow), field(Id::ArrowSize), field(Id::ArrowSplit),
        field(Id::AutoSize), field(Id::BorderColor1), field(Id::BorderColor2),
        field(Id::BorderSize), field(Id::BorderStyle), field(Id::ButtonColorBlendSize),
        field(Id::ButtonColorDown1), field(Id::ButtonColorDown2), field(Id::ButtonColorExtra1),
        field(Id::ButtonColorExtra2), field(Id::ButtonColorNormal1), field(Id::ButtonColorNormal2),
        field(Id::ButtonColorOver1), field(Id::ButtonColorOver2), field(Id::ButtonColorSplitSize),
        field(Id::ButtonIconPos), field(Id::ButtonIconShadow), field(Id::ButtonIconShow),
        field(Id::ButtonIconSize), field(Id::ButtonShape), field(Id::ButtonStyleDown),
        field(Id::ButtonStyleNormal), field(Id::ButtonStyleOver), field(Id::ButtonTheme),
        field(Id::Caption), field(Id::CaptionAlignment), field(Id::CaptionAutoAlign),
        field(Id::CaptionColor), field(Id::CaptionShadow), field(Id::CaptionShadowColor),
        field(Id::CustomPic), field(Id::DoubleClickEnable), field(Id::Effects),
        field(Id::EnableEffects), field(Id::Fade), field(Id::FadeDelay), field(Id::Freeze),
        special(K::Height), accessor(Id::MaskColor), field(Id::RoundHeight),
        field(Id::RoundSizeAuto), field(Id::RoundWidth), field(Id::Shadow), field(Id::ShadowColor),
        field(Id::ShadowSize), field(Id::ShadowStyle), field(Id::Sound), field(Id::SoundClick),
        field(Id::SoundCustom1), field(Id::SoundCustom2), field(Id::SoundDown), field(Id::SoundIn),
        field(Id::SoundOut), field(Id::SoundUp), field(Id::Texture), field(Id::TextureAlpha),
        field(Id::TextureType), field(Id::Tint), field(Id::TintBright), field(Id::TintHue),
        field(Id::TintSaturation), field(Id::UpMotion), field(Id::UserDrag), special(K::Width),
        special(K::FontName), special(K::FontSize), special(K::FontBold), special(K::FontItalic),
    }};
    return Fields;
}

QString builtInTheme()
{
    return QStringLiteral("16777215##4210752##16777215##1##3##1##0##8421504##16777215##8737841##"
                          "16384##49344##11707543##14536131##25##11##11##11##16777215##4210752##"
                          "False##0##5##False##5##0##6##0##False##0##0##0");
}

} // namespace ButtonLayouts
