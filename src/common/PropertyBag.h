#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVariant>

// The value types of the controls' properties. The QVariant that carries each one holds:
// Boolean bool, Integer qint16, Long and Colour qint32 (OLE colour), Single float, String
// QString, Picture Picture, Font QFont, Variant an int, double, QString or bool.
enum class PropertyType { Boolean, Integer, Long, Single, Colour, String, Picture, Font, Variant };

// A control's stored properties, kept under keys equal to the property names, as the stored
// forms keep them: JSON, one member per property. Reading takes a default for absent keys;
// writing omits a value equal to its default, so a stored form lists only what differs.
//
// JSON forms: Boolean true/false; Integer, Long, Single numbers; Colour an unsigned number
// (0x8000000F is stored as 2147483663); String text; Picture null (Nothing), {} (empty
// picture), {"resource": ":/path"} or {"png": "<base64>"}; Font {"name", "size", "bold",
// "italic", "underline", "strikeout"}; Variant a number, text or boolean.
class PropertyBag {
public:
    PropertyBag() = default;
    explicit PropertyBag(const QJsonObject &object) : m_object(object) {}

    // Parses a JSON object; on malformed input returns an empty bag and sets *ok to false.
    static PropertyBag fromJson(const QByteArray &json, bool *ok = nullptr);
    QByteArray toJson() const;
    const QJsonObject &object() const { return m_object; }

    bool contains(const QString &key) const { return m_object.contains(key); }
    QStringList keys() const { return m_object.keys(); }

    // The value under key as type, or defaultValue when the key is absent. A stored value that
    // does not convert throws the type-mismatch RuntimeError; a number outside the type's range
    // throws overflow; a picture that cannot be loaded throws "Invalid picture" (481); a font
    // size that is not positive throws invalid property value.
    QVariant read(const QString &key, PropertyType type, const QVariant &defaultValue) const;

    // Stores value under key, or removes the key when value equals defaultValue.
    void write(const QString &key, PropertyType type, const QVariant &value,
               const QVariant &defaultValue);

    // Equality as write() decides it: pictures by identity, fonts by the stored attributes,
    // variants only when they are of the same kind (the text "50" differs from the number 50).
    static bool sameValue(PropertyType type, const QVariant &a, const QVariant &b);

private:
    QJsonObject m_object;
};
