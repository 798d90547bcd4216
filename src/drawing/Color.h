#pragma once

#include <QRgb>

#include <cstdint>
#include <optional>

class Surface;

// An OLE colour: R + 256·G + 65536·B (bytes 0x00BBGGRR) for a plain RGB colour; a value with
// the top bit set (0x80000000 + index, such as 0x8000000F for the button face) names a system
// colour and must pass through TranslateColor before any channel arithmetic.
using OleColor = int32_t;

// Colour arithmetic shared by both controls, and the one conversion between OleColor and QRgb.
namespace Color {

inline constexpr OleColor SystemColorFlag = INT32_MIN;

// The RGB composition of three channels in 0..255.
constexpr OleColor RGB(int red, int green, int blue) { return red + 256 * green + 65536 * blue; }

// Channels taken apart by integer arithmetic (division truncates toward zero, then masked).
constexpr int red(OleColor colour) { return colour & 255; }
constexpr int green(OleColor colour) { return (colour / 256) & 255; }
constexpr int blue(OleColor colour) { return (colour / 65536) & 255; }

// The RGB value of a colour, or nothing when it cannot be translated (an unknown system colour
// index or an unknown kind in the top byte). System colours come from the application palette.
std::optional<OleColor> translate(OleColor colour);

// QRgb (0xFFRRGGBB) of a colour after translation; an untranslatable colour is black.
QRgb toQRgb(OleColor colour);
// OleColor of a QRgb; the alpha byte is ignored.
OleColor fromQRgb(QRgb rgb);

// A real value converted to a byte: rounded half to even; outside 0..255 is an overflow
// (RuntimeError), as the constant alpha of a blend is converted.
uint8_t toByte(double value);

// RGB of a colour; a value that cannot be translated comes back unchanged.
OleColor TranslateColor(OleColor colour);

// 255 above 255, 0 below 0, otherwise the value.
int32_t ClampByte(int32_t value);
// Max if value > Max, then Min if the result < Min: Max is applied first, so 7 in [10, 5] is 10.
int32_t ClampValue(int32_t value, int32_t min, int32_t max);
// Each channel plus amount, clamped: a positive amount lightens, a negative one darkens.
OleColor ShiftColor(OleColor colour, int32_t amount);
OleColor ShiftColorRGB(OleColor colour, int32_t redAmount, int32_t greenAmount, int32_t blueAmount);
// The half-way colour; each channel (c1 + c2) / 2 rounded half to even.
OleColor MixColors(OleColor colour1, OleColor colour2);
// value / (fromHigh - fromLow) * (toHigh - toLow) rounded half to even; 0 for an empty source
// span. The low ends enter only through the span widths. Overflow is a RuntimeError.
int32_t ScaleSpan(int32_t value, int32_t fromLow, int32_t fromHigh, int32_t toLow, int32_t toHigh);

// Tints the picture in place (brightness, hue rotation, saturation; all 0 leaves it as it is),
// then redraws it onto itself through a HALFTONE stretch, which applies the colour adjustment
// stored on the surface. Leaves the surface's stretch mode at HALFTONE. Arguments in -100..100.
void TintPicture(Surface &picture, int bright, int hue, int saturation);

} // namespace Color
