#include "workflow/PathText.h"

namespace PathText {

namespace {

bool isDirectionControl(char32_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

QString code(char32_t c)
{
    return QStringLiteral("U+") + QString::number(uint(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

} // namespace

std::optional<QString> directionControl(const QString &text)
{
    for (const char32_t c : text.toUcs4()) {
        if (isDirectionControl(c))
            return code(c);
    }
    return std::nullopt;
}

std::optional<QString> destinationProblem(const QString &destination)
{
    if (const std::optional<QString> control = directionControl(destination))
        return QStringLiteral("The destination name holds an invisible direction mark (%1) that makes it read as another "
                              "name; choose another name: %2")
            .arg(*control, shown(destination));
    return std::nullopt;
}

QString shown(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (isDirectionControl(c) || QChar::category(c) == QChar::Other_Control)
            out += QLatin1Char('<') + code(c) + QLatin1Char('>');
        else
            out += QString::fromUcs4(&c, 1);
    }
    return out;
}

QString firstOf(const QStringList &lines, int first, const QString &separator)
{
    if (lines.size() <= first + 1)
        return lines.join(separator);
    return lines.mid(0, first).join(separator) + separator + QStringLiteral("and %1 more").arg(lines.size() - first);
}

} // namespace PathText
