#include "drawing/Color.h"

#include "common/Rounding.h"
#include "common/RuntimeError.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace {

struct SystemColorRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The platform's system colour indices 0..30 and the palette roles that play their part here.
// Index 25 is unassigned on the platform and so cannot be translated.
constexpr int UnassignedIndex = 25;
constexpr std::array<SystemColorRole, 31> SystemColorRoles{{
    {QPalette::Active, QPalette::Window},          // 0 scroll bar
    {QPalette::Active, QPalette::Dark},            // 1 desktop
    {QPalette::Active, QPalette::Highlight},       // 2 active caption
    {QPalette::Inactive, QPalette::Highlight},     // 3 inactive caption
    {QPalette::Active, QPalette::Window},          // 4 menu
    {QPalette::Active, QPalette::Base},            // 5 window
    {QPalette::Active, QPalette::Shadow},          // 6 window frame
    {QPalette::Active, QPalette::WindowText},      // 7 menu text
    {QPalette::Active, QPalette::Text},            // 8 window text
    {QPalette::Active, QPalette::HighlightedText}, // 9 caption text
    {QPalette::Active, QPalette::Window},          // 10 active border
    {QPalette::Inactive, QPalette::Window},        // 11 inactive border
    {QPalette::Active, QPalette::Mid},             // 12 application workspace
    {QPalette::Active, QPalette::Highlight},       // 13 highlight
    {QPalette::Active, QPalette::HighlightedText}, // 14 highlight text
    {QPalette::Active, QPalette::Button},          // 15 button face
    {QPalette::Active, QPalette::Dark},            // 16 button shadow
    {QPalette::Disabled, QPalette::Text},          // 17 grey text
    {QPalette::Active, QPalette::ButtonText},      // 18 button text
    {QPalette::Inactive, QPalette::HighlightedText}, // 19 inactive caption text
    {QPalette::Active, QPalette::Light},           // 20 button highlight
    {QPalette::Active, QPalette::Shadow},          // 21 3-D dark shadow
    {QPalette::Active, QPalette::Midlight},        // 22 3-D light
    {QPalette::Active, QPalette::ToolTipText},     // 23 tooltip text
    {QPalette::Active, QPalette::ToolTipBase},     // 24 tooltip background
    {QPalette::Active, QPalette::Window},          // 25 unassigned
    {QPalette::Active, QPalette::Link},            // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight},       // 27 active caption gradient
    {QPalette::Inactive, QPalette::Highlight},     // 28 inactive caption gradient
    {QPalette::Active, QPalette::Highlight},       // 29 menu highlight
    {QPalette::Active, QPalette::Window},          // 30 menu bar
}};

QPalette applicationPalette()
{
    // Without a GUI application (command-line mode) Qt's default palette stands in.
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::palette()
                                                                          : QPalette();
}

int32_t clampToLong(int64_t value)
{
    if (value > INT32_MAX || value < INT32_MIN)
        throw RuntimeError::overflow();
    return static_cast<int32_t>(value);
}

} // namespace

namespace Color {

std::optional<OleColor> translate(OleColor colour)
{
    const auto value = static_cast<uint32_t>(colour);
    switch (value >> 24) {
    case 0x00:
        return colour;
    case 0x02: // a palette-relative RGB: the RGB part
        return static_cast<OleColor>(value & 0x00FFFFFFu);
    case 0x80: {
        const uint32_t index = value & 0x00FFFFFFu;
        if (index >= SystemColorRoles.size() || index == UnassignedIndex)
            return std::nullopt;
        const SystemColorRole &entry = SystemColorRoles[index];
        return fromQRgb(applicationPalette().color(entry.group, entry.role).rgb());
    }
    default:
        return std::nullopt;
    }
}

QRgb toQRgb(OleColor colour)
{
    const OleColor rgb = translate(colour).value_or(0);
    return 0xFF000000u | (uint32_t(red(rgb)) << 16) | (uint32_t(green(rgb)) << 8) | uint32_t(blue(rgb));
}

OleColor fromQRgb(QRgb rgb) { return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb)); }

uint8_t toByte(double value)
{
    const double r = Rounding::roundHalfEven(value);
    if (!(r >= 0.0 && r <= 255.0))
        throw RuntimeError::overflow();
    return static_cast<uint8_t>(r);
}

OleColor TranslateColor(OleColor colour) { return translate(colour).value_or(colour); }

int32_t ClampByte(int32_t value) { return value > 255 ? 255 : (value < 0 ? 0 : value); }

// Max is applied first and Min after it, so a reversed range gives Min.
int32_t ClampValue(int32_t value, int32_t min, int32_t max)
{
    if (value > max)
        value = max;
    if (value < min)
        value = min;
    return value;
}

OleColor ShiftColor(OleColor colour, int32_t amount) { return ShiftColorRGB(colour, amount, amount, amount); }

OleColor ShiftColorRGB(OleColor colour, int32_t redAmount, int32_t greenAmount, int32_t blueAmount)
{
    const auto shifted = [](int channel, int32_t amount) {
        const int64_t v = int64_t(channel) + amount;
        return static_cast<int>(v > 255 ? 255 : (v < 0 ? 0 : v));
    };
    return RGB(shifted(red(colour), redAmount), shifted(green(colour), greenAmount),
               shifted(blue(colour), blueAmount));
}

OleColor MixColors(OleColor colour1, OleColor colour2)
{
    const auto mean = [](int a, int b) { return static_cast<int>(Rounding::roundHalfEven((a + b) / 2.0)); };
    return RGB(mean(red(colour1), red(colour2)), mean(green(colour1), green(colour2)),
               mean(blue(colour1), blue(colour2)));
}

int32_t ScaleSpan(int32_t value, int32_t fromLow, int32_t fromHigh, int32_t toLow, int32_t toHigh)
{
    if (fromHigh == fromLow)
        return 0;
    const int32_t fromSpan = clampToLong(int64_t(fromHigh) - fromLow);
    const int32_t toSpan = clampToLong(int64_t(toHigh) - toLow);
    return Rounding::toLong(double(value) / fromSpan * toSpan);
}

} // namespace Color
