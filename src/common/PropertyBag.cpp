#include "common/PropertyBag.h"

#include "common/Picture.h"
#include "common/Rounding.h"
#include "common/RuntimeError.h"

#include <QBuffer>
#include <QFont>
#include <QJsonDocument>
#include <QJsonValue>

#include <cfloat>
#include <cmath>

namespace {

RuntimeError invalidPicture()
{
    return RuntimeError(481, QStringLiteral("Invalid picture"));
}

// Numbers, booleans (True is -1) and numeric text convert to a number, as stored values of the
// old platform did; anything else is a type mismatch.
double toNumber(const QJsonValue &value)
{
    if (value.isDouble())
        return value.toDouble();
    if (value.isBool())
        return value.toBool() ? -1.0 : 0.0;
    if (value.isString()) {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        if (ok)
            return number;
    }
    throw RuntimeError::typeMismatch();
}

bool toBoolean(const QJsonValue &value)
{
    if (value.isString()) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return toNumber(value) != 0.0;
}

// Colours are 32-bit patterns: both the signed and the unsigned reading of one are accepted.
qint32 toColour(const QJsonValue &value)
{
    const double number = Rounding::roundHalfEven(toNumber(value));
    if (number >= 2147483648.0 && number <= 4294967295.0)
        return static_cast<qint32>(static_cast<quint32>(number));
    return Rounding::toLong(number);
}

float toSingle(const QJsonValue &value)
{
    const double number = toNumber(value);
    if (std::fabs(number) > FLT_MAX)
        throw RuntimeError::overflow();
    return static_cast<float>(number);
}

QString numberText(double number)
{
    return QString::number(number, 'g', 15);
}

QString toText(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return numberText(value.toDouble());
    if (value.isBool())
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    throw RuntimeError::typeMismatch();
}

Picture toPicture(const QJsonValue &value)
{
    if (value.isNull())
        return Picture();
    if (!value.isObject())
        throw RuntimeError::typeMismatch();
    const QJsonObject object = value.toObject();
    if (object.contains(QLatin1String("resource"))) {
        const Picture picture = Picture::fromPath(object.value(QLatin1String("resource")).toString());
        if (picture.isNothing())
            throw invalidPicture();
        return picture;
    }
    if (object.contains(QLatin1String("png"))) {
        const QByteArray png = QByteArray::fromBase64(object.value(QLatin1String("png")).toString().toLatin1());
        const QImage image = QImage::fromData(png, "PNG");
        if (image.isNull())
            throw invalidPicture();
        return Picture::fromImage(image);
    }
    if (!object.isEmpty())
        throw RuntimeError::typeMismatch();
    return Picture::empty();
}

QJsonValue fromPicture(const Picture &picture)
{
    if (picture.isNothing())
        return QJsonValue::Null;
    QJsonObject object;
    if (!picture.sourcePath().isEmpty()) {
        object.insert(QLatin1String("resource"), picture.sourcePath());
    } else if (picture.hasImage()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.image().save(&buffer, "PNG");
        object.insert(QLatin1String("png"), QString::fromLatin1(png.toBase64()));
    }
    return object;
}

// Attributes missing from the stored object keep the default font's.
QFont toFont(const QJsonValue &value, const QFont &defaultFont)
{
    if (!value.isObject())
        throw RuntimeError::typeMismatch();
    const QJsonObject object = value.toObject();
    QFont font = defaultFont;
    if (object.contains(QLatin1String("name")))
        font.setFamily(toText(object.value(QLatin1String("name"))));
    if (object.contains(QLatin1String("size"))) {
        const double size = toNumber(object.value(QLatin1String("size")));
        if (!(size > 0.0 && size < 16384.0))
            throw RuntimeError::invalidPropertyValue();
        font.setPointSizeF(size);
    }
    if (object.contains(QLatin1String("bold")))
        font.setBold(toBoolean(object.value(QLatin1String("bold"))));
    if (object.contains(QLatin1String("italic")))
        font.setItalic(toBoolean(object.value(QLatin1String("italic"))));
    if (object.contains(QLatin1String("underline")))
        font.setUnderline(toBoolean(object.value(QLatin1String("underline"))));
    if (object.contains(QLatin1String("strikeout")))
        font.setStrikeOut(toBoolean(object.value(QLatin1String("strikeout"))));
    return font;
}

QJsonValue fromFont(const QFont &font)
{
    return QJsonObject{
        {QLatin1String("name"), font.family()},
        // A font given in pixels is stored in points at 96 dpi.
        {QLatin1String("size"), font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75},
        {QLatin1String("bold"), font.bold()},
        {QLatin1String("italic"), font.italic()},
        {QLatin1String("underline"), font.underline()},
        {QLatin1String("strikeout"), font.strikeOut()},
    };
}

QVariant toVariant(const QJsonValue &value)
{
    if (value.isDouble()) {
        const double number = value.toDouble();
        if (number == std::floor(number) && std::fabs(number) <= 2147483647.0)
            return QVariant(static_cast<int>(number));
        return QVariant(number);
    }
    if (value.isString())
        return QVariant(value.toString());
    if (value.isBool())
        return QVariant(value.toBool());
    throw RuntimeError::typeMismatch();
}

enum class VariantKind { Number, Text, Boolean, Other };

VariantKind kindOf(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return VariantKind::Boolean;
    case QMetaType::QString:
        return VariantKind::Text;
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        return VariantKind::Number;
    default:
        return VariantKind::Other;
    }
}

QJsonValue fromVariant(const QVariant &value)
{
    switch (kindOf(value)) {
    case VariantKind::Number:
        return value.toDouble();
    case VariantKind::Text:
        return value.toString();
    case VariantKind::Boolean:
        return value.toBool();
    case VariantKind::Other:
        break;
    }
    throw RuntimeError::typeMismatch();
}

bool sameFont(const QFont &a, const QFont &b)
{
    return a.family() == b.family() && a.pointSizeF() == b.pointSizeF() && a.bold() == b.bold()
        && a.italic() == b.italic() && a.underline() == b.underline() && a.strikeOut() == b.strikeOut();
}

} // namespace

PropertyBag PropertyBag::fromJson(const QByteArray &json, bool *ok)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    const bool parsed = error.error == QJsonParseError::NoError && document.isObject();
    if (ok)
        *ok = parsed;
    return parsed ? PropertyBag(document.object()) : PropertyBag();
}

QByteArray PropertyBag::toJson() const
{
    return QJsonDocument(m_object).toJson(QJsonDocument::Indented);
}

QVariant PropertyBag::read(const QString &key, PropertyType type, const QVariant &defaultValue) const
{
    const auto found = m_object.constFind(key);
    if (found == m_object.constEnd())
        return defaultValue;
    const QJsonValue value = found.value();
    switch (type) {
    case PropertyType::Boolean:
        return QVariant(toBoolean(value));
    case PropertyType::Integer:
        return QVariant::fromValue<qint16>(Rounding::toInteger(toNumber(value)));
    case PropertyType::Long:
        return QVariant::fromValue<qint32>(Rounding::toLong(toNumber(value)));
    case PropertyType::Single:
        return QVariant(toSingle(value));
    case PropertyType::Colour:
        return QVariant::fromValue<qint32>(toColour(value));
    case PropertyType::String:
        return QVariant(toText(value));
    case PropertyType::Picture:
        return QVariant::fromValue(toPicture(value));
    case PropertyType::Font:
        return QVariant::fromValue(toFont(value, defaultValue.value<QFont>()));
    case PropertyType::Variant:
        return toVariant(value);
    }
    Q_UNREACHABLE();
}

void PropertyBag::write(const QString &key, PropertyType type, const QVariant &value,
                        const QVariant &defaultValue)
{
    if (sameValue(type, value, defaultValue)) {
        m_object.remove(key);
        return;
    }
    QJsonValue stored;
    switch (type) {
    case PropertyType::Boolean:
        stored = value.toBool();
        break;
    case PropertyType::Integer:
    case PropertyType::Long:
        stored = value.toInt();
        break;
    case PropertyType::Single:
        stored = static_cast<double>(value.toFloat());
        break;
    case PropertyType::Colour:
        stored = static_cast<double>(static_cast<quint32>(value.toInt()));
        break;
    case PropertyType::String:
        stored = value.toString();
        break;
    case PropertyType::Picture:
        stored = fromPicture(value.value<Picture>());
        break;
    case PropertyType::Font:
        stored = fromFont(value.value<QFont>());
        break;
    case PropertyType::Variant:
        stored = fromVariant(value);
        break;
    }
    m_object.insert(key, stored);
}

bool PropertyBag::sameValue(PropertyType type, const QVariant &a, const QVariant &b)
{
    switch (type) {
    case PropertyType::Boolean:
        return a.toBool() == b.toBool();
    case PropertyType::Integer:
    case PropertyType::Long:
    case PropertyType::Colour:
        return a.toInt() == b.toInt();
    case PropertyType::Single:
        return a.toFloat() == b.toFloat();
    case PropertyType::String:
        return a.toString() == b.toString();
    case PropertyType::Picture:
        return a.value<Picture>() == b.value<Picture>();
    case PropertyType::Font:
        return sameFont(a.value<QFont>(), b.value<QFont>());
    case PropertyType::Variant: {
        const VariantKind kind = kindOf(a);
        if (kind != kindOf(b) || kind == VariantKind::Other)
            return false;
        if (kind == VariantKind::Number)
            return a.toDouble() == b.toDouble();
        return a == b;
    }
    }
    return false;
}
