#pragma once

#include "controls/button/model/ButtonDescriptors.h"

#include <QString>

#include <array>

// The orders in which a TavloClick's properties are persisted: the property bag's key order,
// the theme string's 32 fields and the settings string's 76 fields. Types, keys and fields come
// from the descriptor table; these lists only say what goes where.
namespace ButtonLayouts {

// One step of ReadProperties / WriteProperties.
struct BagStep {
    enum class Kind {
        Property,      // the key of the property, into its field
        CaptionLabel,  // the CaptionColor key, into lblCap's text colour only
        TempFolder,    // no key: the temporary folder is looked up here
    };
    Kind kind;
    ButtonProperty id = ButtonProperty::CaptionColor;
};

// One field of the theme or settings string.
struct TextField {
    enum class Kind {
        Field,       // stored directly into the property's field (CaptionColor also into lblCap)
        Accessor,    // assigned through the property's setter
        Height,      // the control's height in twips
        Width,       // the control's width in twips
        FontName,
        FontSize,    // points
        FontBold,
        FontItalic,
    };
    Kind kind;
    ButtonProperty id = ButtonProperty::Alpha; // for Field and Accessor
};

inline constexpr int ThemeFieldCount = 32;
inline constexpr int SettingsFieldCount = 76;
// Settings fields from here on (the font) are applied with every error ignored.
inline constexpr int FirstFontField = 72;

const std::array<BagStep, 83> &bagOrder();
const std::array<TextField, ThemeFieldCount> &themeFields();
const std::array<TextField, SettingsFieldCount> &settingsFields();

// The theme that ButtonTheme 4 applies.
QString builtInTheme();

} // namespace ButtonLayouts
