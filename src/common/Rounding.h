#pragma once

#include "common/RuntimeError.h"

#include <cmath>
#include <cstdint>
#include <limits>

// Numeric rules shared by every subsystem: reals become integers by rounding half to even,
// integer division rounds both operands first and truncates, Int() is floor.
namespace Rounding {

// Nearest integer, exact halves to the even neighbour (uses the default FP rounding mode).
inline double roundHalfEven(double x) { return std::nearbyint(x); }

// Round half to even into a 32-bit integer; out of range is an overflow.
inline int32_t toLong(double x)
{
    const double r = std::nearbyint(x);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        throw RuntimeError::overflow();
    return static_cast<int32_t>(r);
}

// Round half to even into a 16-bit integer; out of range is an overflow.
inline int16_t toInteger(double x)
{
    const double r = std::nearbyint(x);
    if (!(r >= -32768.0 && r <= 32767.0))
        throw RuntimeError::overflow();
    return static_cast<int16_t>(r);
}

// a \ b: both operands rounded half to even, then the quotient truncated toward zero.
inline int64_t intDiv(double a, double b)
{
    const auto ia = static_cast<int64_t>(std::nearbyint(a));
    const auto ib = static_cast<int64_t>(std::nearbyint(b));
    if (ib == 0)
        throw RuntimeError::divisionByZero();
    return ia / ib;
}

// a Mod b: both operands rounded half to even; the remainder takes the dividend's sign.
inline int64_t mod(double a, double b)
{
    const auto ia = static_cast<int64_t>(std::nearbyint(a));
    const auto ib = static_cast<int64_t>(std::nearbyint(b));
    if (ib == 0)
        throw RuntimeError::divisionByZero();
    return ia % ib;
}

// Int(x): the largest integer not above x.
inline double intFloor(double x) { return std::floor(x); }

} // namespace Rounding
