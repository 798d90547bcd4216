#include "controls/button/model/ButtonDescriptors.h"

#include "common/Rounding.h"
#include "controls/button/HandCursor.h"

#include <cmath>

namespace {

using P = ButtonProperties;
using T = PropertyType;
using Id = ButtonProperty;
using R = AssignRule;

QVariant longValue(qint32 value) { return QVariant::fromValue<qint32>(value); }
QVariant integerValue(qint16 value) { return QVariant::fromValue<qint16>(value); }
QVariant singleValue(float value) { return QVariant(value); }
QVariant text(const char *value) { return QVariant(QString::fromLatin1(value)); }

std::array<ButtonDescriptor, ButtonPropertyCount> buildTable()
{
    const QVariant nothing = QVariant::fromValue(Picture());
    const QVariant no = QVariant(false);
    const QVariant yes = QVariant(true);
    constexpr Repaint None = Repaint::None;
    return {{
        {Id::Alpha, QLatin1String("Alpha"), T::Boolean, no, &P::alpha},
        {Id::AlphaValue, QLatin1String("AlphaValue"), T::Single, singleValue(150), &P::alphaValue, R::RoundClamp, 0, 255},
        {Id::ArrowColor, QLatin1String("ArrowColor"), T::Colour, longValue(0xFFFFFF), &P::arrowColor, R::TranslateColor},
        {Id::ArrowDirection, QLatin1String("ArrowDirection"), T::Long, longValue(0), &P::arrowDirection},
        {Id::ArrowPosition, QLatin1String("ArrowPosition"), T::Long, longValue(0), &P::arrowPosition},
        {Id::ArrowShow, QLatin1String("ArrowShow"), T::Boolean, no, &P::arrowShow},
        {Id::ArrowSize, QLatin1String("ArrowSize"), T::Single, singleValue(5), &P::arrowSize, R::RoundClamp, 1, 1000},
        {Id::ArrowSplit, QLatin1String("ArrowSplit"), T::Boolean, yes, &P::arrowSplit},
        {Id::AutoSize, QLatin1String("AutoSize"), T::Boolean, no, &P::autoSize, R::Store, 0, 0, Repaint::ResizeHandling},
        {Id::BorderColor1, QLatin1String("BorderColor1"), T::Colour, longValue(0), &P::borderColor1},
        {Id::BorderColor2, QLatin1String("BorderColor2"), T::Colour, longValue(0), &P::borderColor2},
        {Id::BorderSize, QLatin1String("BorderSize"), T::Single, singleValue(1), &P::borderSize, R::RoundClamp, 1, 1000},
        {Id::BorderStyle, QLatin1String("BorderStyle"), T::Long, longValue(0), &P::borderStyle},
        {Id::ButtonColorBlendSize, QLatin1String("ButtonColorBlendSize"), T::Long, longValue(1), &P::buttonColorBlendSize},
        {Id::ButtonColorDown1, QLatin1String("ButtonColorDown1"), T::Colour, longValue(0), &P::buttonColorDown1, R::Store, 0, 0, Repaint::NormalThenDown},
        {Id::ButtonColorDown2, QLatin1String("ButtonColorDown2"), T::Colour, longValue(0), &P::buttonColorDown2, R::Store, 0, 0, Repaint::NormalThenDown},
        {Id::ButtonColorExtra1, QLatin1String("ButtonColorExtra1"), T::Colour, longValue(0), &P::buttonColorExtra1, R::Store, 0, 0, Repaint::NormalThenPrevious},
        {Id::ButtonColorExtra2, QLatin1String("ButtonColorExtra2"), T::Colour, longValue(0), &P::buttonColorExtra2, R::Store, 0, 0, Repaint::NormalThenPrevious},
        {Id::ButtonColorNormal1, QLatin1String("ButtonColorNormal1"), T::Colour, longValue(0), &P::buttonColorNormal1},
        {Id::ButtonColorNormal2, QLatin1String("ButtonColorNormal2"), T::Colour, longValue(0), &P::buttonColorNormal2},
        {Id::ButtonColorOver1, QLatin1String("ButtonColorOver1"), T::Colour, longValue(0), &P::buttonColorOver1, R::Store, 0, 0, Repaint::NormalThenOver},
        {Id::ButtonColorOver2, QLatin1String("ButtonColorOver2"), T::Colour, longValue(0), &P::buttonColorOver2, R::Store, 0, 0, Repaint::NormalThenOver},
        {Id::ButtonColorSplitSize, QLatin1String("ButtonColorSplitSize"), T::Long, longValue(50), &P::buttonColorSplitSize},
        {Id::ButtonIcon, QLatin1String("ButtonIcon"), T::Picture, nothing, &P::buttonIcon},
        {Id::ButtonIconPos, QLatin1String("ButtonIconPos"), T::Integer, integerValue(0), &P::buttonIconPos, R::ToInteger},
        {Id::ButtonIconShadow, QLatin1String("ButtonIconShadow"), T::Boolean, yes, &P::buttonIconShadow},
        {Id::ButtonIconShow, QLatin1String("ButtonIconShow"), T::Boolean, no, &P::buttonIconShow},
        {Id::ButtonIconSize, QLatin1String("ButtonIconSize"), T::Single, singleValue(80), &P::buttonIconSize, R::RoundClamp, 0, 1000},
        {Id::ButtonShape, QLatin1String("ButtonShape"), T::Long, longValue(0), &P::buttonShape},
        {Id::ButtonStyleDown, QLatin1String("ButtonStyleDown"), T::Long, longValue(0), &P::buttonStyleDown, R::Store, 0, 0, Repaint::NormalThenDown},
        {Id::ButtonStyleNormal, QLatin1String("ButtonStyleNormal"), T::Long, longValue(0), &P::buttonStyleNormal},
        {Id::ButtonStyleOver, QLatin1String("ButtonStyleOver"), T::Long, longValue(0), &P::buttonStyleOver, R::Store, 0, 0, Repaint::NormalThenOver},
        {Id::ButtonTheme, QLatin1String("ButtonTheme"), T::Long, longValue(0), &P::buttonTheme, R::Store, 0, 0, Repaint::Own},
        {Id::Caption, QLatin1String("Caption"), T::String, text("Tavlo Click"), &P::caption},
        {Id::CaptionAlignment, QLatin1String("CaptionAlignment"), T::Long, longValue(0), &P::captionAlignment},
        {Id::CaptionAutoAlign, QLatin1String("CaptionAutoAlign"), T::Boolean, yes, &P::captionAutoAlign},
        {Id::CaptionColor, QLatin1String("CaptionColor"), T::Colour, longValue(0xFFFFFF), &P::captionColor, R::TranslateColor},
        {Id::CaptionShadow, QLatin1String("CaptionShadow"), T::Boolean, no, &P::captionShadow},
        {Id::CaptionShadowColor, QLatin1String("CaptionShadowColor"), T::Colour, longValue(0x404040), &P::captionShadowColor, R::TranslateColor},
        {Id::CustomPic, QLatin1String("CustomPic"), T::Boolean, no, &P::customPic},
        {Id::DoubleClickEnable, QLatin1String("DoubleClickEnable"), T::Boolean, no, &P::doubleClickEnable, R::Store, 0, 0, None},
        {Id::Effects, QLatin1String("Effects"), T::Long, longValue(0), &P::effects},
        {Id::EnableEffects, QLatin1String("EnableEffects"), T::Boolean, yes, &P::enableEffects},
        {Id::Enabled, QLatin1String("Enabled"), T::Boolean, yes, &P::enabled, R::Store, 0, 0, None},
        {Id::Fade, QLatin1String("Fade"), T::Boolean, yes, &P::fade},
        {Id::FadeDelay, QLatin1String("FadeDelay"), T::Single, singleValue(75), &P::fadeDelay, R::RoundClamp, 0, 100},
        {Id::Font, QLatin1String("Font"), T::Font, QVariant(), &P::font},
        {Id::Freeze, QLatin1String("Freeze"), T::Boolean, no, &P::freeze, R::Store, 0, 0, Repaint::Own},
        {Id::MaskColor, QLatin1String("MaskColor"), T::Colour, longValue(0), &P::maskColor},
        {Id::MouseIcon, QLatin1String("MouseIcon"), T::Picture, QVariant::fromValue(HandCursor::picture()), &P::mouseIcon, R::Store, 0, 0, None},
        {Id::PicDown, QLatin1String("PicDown"), T::Picture, nothing, &P::picDown, R::Store, 0, 0, Repaint::Down},
        {Id::PicNormal, QLatin1String("PicNormal"), T::Picture, nothing, &P::picNormal},
        {Id::PicOver, QLatin1String("PicOver"), T::Picture, nothing, &P::picOver, R::Store, 0, 0, Repaint::Over},
        {Id::RoundHeight, QLatin1String("RoundHeight"), T::Single, singleValue(5), &P::roundHeight, R::RoundClamp, 0, 1000},
        {Id::RoundSizeAuto, QLatin1String("RoundSizeAuto"), T::Boolean, yes, &P::roundSizeAuto},
        {Id::RoundWidth, QLatin1String("RoundWidth"), T::Single, singleValue(5), &P::roundWidth, R::RoundClamp, 0, 1000},
        {Id::Settings, QLatin1String("Settings"), T::Long, longValue(0), &P::settings, R::Store, 0, 0, Repaint::Own},
        {Id::SettingsFile, QLatin1String("SettingsFile"), T::String, text("TavloClick.scs"), &P::settingsFile, R::Store, 0, 0, None},
        {Id::Shadow, QLatin1String("Shadow"), T::Boolean, no, &P::shadow},
        {Id::ShadowColor, QLatin1String("ShadowColor"), T::Colour, longValue(0), &P::shadowColor, R::TranslateColor},
        {Id::ShadowSize, QLatin1String("ShadowSize"), T::Single, singleValue(6), &P::shadowSize},
        {Id::ShadowStyle, QLatin1String("ShadowStyle"), T::Long, longValue(0), &P::shadowStyle},
        // Not painted into the faces: the widget lays the indicator over them while it has focus.
        {Id::ShowFocusRect, QLatin1String("ShowFocusRect"), T::Boolean, yes, &P::showFocusRect, R::Store, 0, 0, None},
        {Id::Sound, QLatin1String("Sound"), T::Boolean, no, &P::sound, R::Store, 0, 0, None},
        {Id::SoundClick, QLatin1String("SoundClick"), T::Long, longValue(0), &P::soundClick, R::Store, 0, 0, None},
        {Id::SoundCustom1, QLatin1String("SoundCustom1"), T::String, text(""), &P::soundCustom1, R::Store, 0, 0, None},
        {Id::SoundCustom2, QLatin1String("SoundCustom2"), T::String, text(""), &P::soundCustom2, R::Store, 0, 0, None},
        {Id::SoundDown, QLatin1String("SoundDown"), T::Long, longValue(0), &P::soundDown, R::Store, 0, 0, None},
        {Id::SoundIn, QLatin1String("SoundIn"), T::Long, longValue(0), &P::soundIn, R::Store, 0, 0, None},
        {Id::SoundOut, QLatin1String("SoundOut"), T::Long, longValue(0), &P::soundOut, R::Store, 0, 0, None},
        {Id::SoundUp, QLatin1String("SoundUp"), T::Long, longValue(0), &P::soundUp, R::Store, 0, 0, None},
        {Id::Texture, QLatin1String("Texture"), T::Boolean, no, &P::texture},
        {Id::TextureAlpha, QLatin1String("TextureAlpha"), T::Single, singleValue(100), &P::textureAlpha, R::RoundClamp, 0, 255},
        {Id::TextureImage, QLatin1String("TextureImage"), T::Picture, nothing, &P::textureImage},
        {Id::TextureType, QLatin1String("TextureType"), T::Long, longValue(0), &P::textureType},
        {Id::Tint, QLatin1String("Tint"), T::Boolean, no, &P::tint},
        {Id::TintBright, QLatin1String("TintBright"), T::Integer, integerValue(0), &P::tintBright, R::IntegerClamp, -100, 100},
        {Id::TintHue, QLatin1String("TintHue"), T::Integer, integerValue(0), &P::tintHue, R::IntegerClamp, -100, 100},
        {Id::TintSaturation, QLatin1String("TintSaturation"), T::Integer, integerValue(0), &P::tintSaturation, R::IntegerClamp, -100, 100},
        {Id::UpMotion, QLatin1String("UpMotion"), T::Boolean, no, &P::upMotion, R::Store, 0, 0, None},
        {Id::UserDrag, QLatin1String("UserDrag"), T::Boolean, no, &P::userDrag, R::Store, 0, 0, None},
    }};
}

// ClampValue's order: above the top is the top, otherwise below the bottom is the bottom.
double clamp(double value, double low, double high)
{
    if (value > high)
        return high;
    if (value < low)
        return low;
    return value;
}

} // namespace

const ButtonDescriptorTable &buttonDescriptors()
{
    static const ButtonDescriptorTable table(buildTable());
    return table;
}

QVariant applyAssignRule(const ButtonDescriptor &descriptor, const QVariant &value)
{
    switch (descriptor.rule) {
    case AssignRule::Store:
        return value;
    case AssignRule::RoundClamp: {
        // Clamped as a real number, so that no value is too large to clamp; NaN takes the bottom.
        const double rounded = Rounding::roundHalfEven(value.toDouble());
        const double clamped = std::isnan(rounded) ? descriptor.low : clamp(rounded, descriptor.low, descriptor.high);
        return QVariant(static_cast<float>(clamped));
    }
    case AssignRule::IntegerClamp:
        return QVariant::fromValue<qint16>(
            static_cast<qint16>(clamp(Rounding::toInteger(value.toDouble()), descriptor.low, descriptor.high)));
    case AssignRule::TranslateColor:
        return QVariant::fromValue<qint32>(Color::TranslateColor(value.toInt()));
    case AssignRule::ToInteger:
        return QVariant::fromValue<qint16>(Rounding::toInteger(value.toDouble()));
    }
    return value;
}
