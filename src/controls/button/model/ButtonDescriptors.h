#pragma once

#include "common/PropertyBag.h"
#include "controls/DescriptorTable.h"
#include "controls/button/model/ButtonProperties.h"

#include <QLatin1String>
#include <QVariant>

// Every property of TavloClick, in the order of its property table (alphabetical). The setters,
// InitProperties, ReadProperties, WriteProperties, the theme string and the settings string all
// walk the descriptor table below; the persistence orders are lists of these ids.
enum class ButtonProperty {
    Alpha, AlphaValue, ArrowColor, ArrowDirection, ArrowPosition, ArrowShow, ArrowSize, ArrowSplit,
    AutoSize, BorderColor1, BorderColor2, BorderSize, BorderStyle, ButtonColorBlendSize,
    ButtonColorDown1, ButtonColorDown2, ButtonColorExtra1, ButtonColorExtra2, ButtonColorNormal1,
    ButtonColorNormal2, ButtonColorOver1, ButtonColorOver2, ButtonColorSplitSize, ButtonIcon,
    ButtonIconPos, ButtonIconShadow, ButtonIconShow, ButtonIconSize, ButtonShape, ButtonStyleDown,
    ButtonStyleNormal, ButtonStyleOver, ButtonTheme, Caption, CaptionAlignment, CaptionAutoAlign,
    CaptionColor, CaptionShadow, CaptionShadowColor, CustomPic, DoubleClickEnable, Effects,
    EnableEffects, Enabled, Fade, FadeDelay, Font, Freeze, MaskColor, MouseIcon, PicDown, PicNormal,
    PicOver, RoundHeight, RoundSizeAuto, RoundWidth, Settings, SettingsFile, Shadow, ShadowColor,
    ShadowSize, ShadowStyle, ShowFocusRect, Sound, SoundClick, SoundCustom1, SoundCustom2, SoundDown, SoundIn,
    SoundOut, SoundUp, Texture, TextureAlpha, TextureImage, TextureType, Tint, TintBright, TintHue,
    TintSaturation, UpMotion, UserDrag,
};
inline constexpr int ButtonPropertyCount = int(ButtonProperty::UserDrag) + 1;

// What an assignment does to the value before it is stored.
enum class AssignRule {
    Store,          // stored as given
    RoundClamp,     // Single: rounded half to even, clamped to low..high, stored as a Single
    IntegerClamp,   // Integer: as ToInteger, then ClampValue low..high
    TranslateColor, // stored as the colour's RGB value
    ToInteger,      // converted to 16 bits; out of range is the overflow error, nothing stored
};

// What an assignment repaints after storing.
enum class Repaint {
    None,
    Normal,             // Redraw(0)
    NormalThenOver,     // Redraw(0), Redraw(1)
    NormalThenDown,     // Redraw(0), Redraw(2)
    NormalThenPrevious, // Redraw(0), Redraw(PreviousState)
    Over,               // Redraw(1)
    Down,               // Redraw(2)
    ResizeHandling,     // the resize handling, which repaints Normal
    Own,                // the setter's own steps (ButtonTheme, Freeze, Settings)
};

struct ButtonDescriptor {
    ButtonProperty id;
    QLatin1String name; // also the property-bag key
    PropertyType type;
    // The table's default, also the bag's. Font has none here: its default is the container's
    // font. MouseIcon defaults to the hand cursor, but is written to the bag against Nothing.
    QVariant defaultValue;
    PropertyField<ButtonProperties> field;
    AssignRule rule = AssignRule::Store;
    double low = 0;
    double high = 0;
    Repaint repaint = Repaint::Normal;
};

using ButtonDescriptorTable = DescriptorTable<ButtonProperties, ButtonDescriptor, ButtonPropertyCount>;
const ButtonDescriptorTable &buttonDescriptors();

// The value an assignment stores, after the descriptor's rule. Throws the overflow RuntimeError
// for a ToInteger value outside 16 bits.
QVariant applyAssignRule(const ButtonDescriptor &descriptor, const QVariant &value);
