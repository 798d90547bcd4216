#include "controls/progressbar/paint/ProBarArithmetic.h"

#include "common/Rounding.h"
#include "common/RuntimeError.h"

#include <cmath>
#include <cstdlib>

namespace ProBarArithmetic {

double divide(double a, double b)
{
    if (b == 0.0)
        throw a == 0.0 ? RuntimeError::overflow() : RuntimeError::divisionByZero();
    return a / b;
}

int64_t intDiv(double a, double b)
{
    const int64_t dividend = Rounding::toLong(a);
    const int64_t divisor = Rounding::toLong(b);
    if (divisor == 0)
        throw RuntimeError::divisionByZero();
    return dividend / divisor;
}

int32_t shadeColour(int32_t base, double c, double d, double span, int32_t depth, int32_t feather)
{
    const int64_t q = intDiv(std::fabs(c - d) * feather, span);
    const auto channel = [&](int x) {
        const int64_t v = x - int64_t(depth) + q;
        return static_cast<int32_t>(v > 255 ? 255 : v < 0 ? 0 : v);
    };
    const int r = base & 255;
    const int g = (base / 256) & 255;
    const int b = (base / 65536) & 255;
    return channel(r) + 256 * channel(g) + 65536 * channel(b);
}

double proValueNumber(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
        return 0.0;
    case QMetaType::Bool:
        return value.toBool() ? -1.0 : 0.0;
    case QMetaType::QString: {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        if (!ok)
            throw RuntimeError::typeMismatch();
        return number;
    }
    default: {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok)
            throw RuntimeError::typeMismatch();
        return number;
    }
    }
}

QString proValueText(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
        return QString();
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Float:
        // A Single carries 7 significant digits; 0.1 is written "0.1", not its double expansion.
        return QString::number(double(value.toFloat()), 'G', 7);
    default:
        return QString::number(value.toDouble(), 'G', 15);
    }
}

int64_t busyInterval(int32_t busySpeed)
{
    return std::llabs(125 - int64_t(busySpeed));
}

int16_t nextBusyPhase(int16_t phase, int32_t busySpeed)
{
    const int16_t next = Rounding::toInteger(busySpeed / 15.0 + phase + 1);
    return next > 100 ? 0 : next;
}

} // namespace ProBarArithmetic
