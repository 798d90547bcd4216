#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>

// The numeric rules the bar's painting follows, in one place: real division and integer
// division with the old platform's errors, the progress value as a number and as text, the
// busy timer interval and phase step.
namespace ProBarArithmetic {

// a / b in double precision: b = 0 throws division by zero (0 / 0 overflow), as the
// platform's real division does.
double divide(double a, double b);

// a \ b: both rounded half to even into 32 bits (overflow otherwise), then truncated.
int64_t intDiv(double a, double b);

// The shading colour at coordinate d for centre c and span T: per channel
// ClampByte(X - depth + (|c - d| * feather) \ T), channels of base taken without translation.
int32_t shadeColour(int32_t base, double c, double d, double span, int32_t depth, int32_t feather);

// ProValue as a number: numbers as they are, booleans -1/0, numeric text; other text is a
// type mismatch. An empty value counts as 0.
double proValueNumber(const QVariant &value);
// ProValue's text form, as its stored type writes it: numbers without trailing zeros, a Single
// to 7 significant digits and anything else to 15, an exponent as "1E+20" or "1E-05".
QString proValueText(const QVariant &value);

// The busy timer interval in ms for a speed: |125 - speed|.
int64_t busyInterval(int32_t busySpeed);
// One tick's phase: round(speed / 15 + phase + 1) into 16 bits (overflow otherwise), 0 above 100.
int16_t nextBusyPhase(int16_t phase, int32_t busySpeed);

} // namespace ProBarArithmetic
