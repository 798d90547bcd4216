#pragma once

#include "common/Picture.h"
#include "common/PropertyBag.h"

#include <QFont>
#include <QString>
#include <QVariant>

#include <array>
#include <cstddef>
#include <cstdint>
#include <variant>

// A property's field in the control's property struct. Each field type has one carrier in
// QVariant, the one PropertyBag uses for its PropertyType.
template <class Properties>
using PropertyField = std::variant<bool Properties::*, int16_t Properties::*, int32_t Properties::*,
                                   float Properties::*, QString Properties::*, Picture Properties::*,
                                   QFont Properties::*, QVariant Properties::*>;

namespace PropertyCarrier {

QVariant wrap(bool value);
QVariant wrap(int16_t value);
QVariant wrap(int32_t value);
QVariant wrap(float value);
QVariant wrap(const QString &value);
QVariant wrap(const Picture &value);
QVariant wrap(const QFont &value);
QVariant wrap(const QVariant &value);

void unwrap(const QVariant &from, bool &to);
void unwrap(const QVariant &from, int16_t &to);
void unwrap(const QVariant &from, int32_t &to);
void unwrap(const QVariant &from, float &to);
void unwrap(const QVariant &from, QString &to);
void unwrap(const QVariant &from, Picture &to);
void unwrap(const QVariant &from, QFont &to);
void unwrap(const QVariant &from, QVariant &to);

} // namespace PropertyCarrier

// A control's properties described once: one descriptor a property, in the order of the ids,
// each with at least its id, its name (also its property-bag key), its PropertyType and its
// field. Setters, persistence and the text formats all find, read and write properties through
// it, so a property cannot be stored in one format and forgotten in another.
template <class Properties, class Descriptor, std::size_t Count>
class DescriptorTable {
public:
    using Id = decltype(Descriptor::id);

    explicit DescriptorTable(const std::array<Descriptor, Count> &rows) : m_rows(rows)
    {
        for (std::size_t index = 0; index < Count; ++index)
            Q_ASSERT(static_cast<std::size_t>(m_rows[index].id) == index);
    }

    static constexpr std::size_t size() { return Count; }
    const Descriptor &operator[](std::size_t index) const { return m_rows[index]; }
    const Descriptor &find(Id id) const { return m_rows[static_cast<std::size_t>(id)]; }
    auto begin() const { return m_rows.begin(); }
    auto end() const { return m_rows.end(); }

    // The field as the QVariant carrier of its PropertyType, and back.
    static QVariant fieldValue(const Properties &properties, const Descriptor &descriptor)
    {
        return std::visit([&](auto member) { return PropertyCarrier::wrap(properties.*member); }, descriptor.field);
    }
    static void setFieldValue(Properties &properties, const Descriptor &descriptor, const QVariant &value)
    {
        std::visit([&](auto member) { PropertyCarrier::unwrap(value, properties.*member); }, descriptor.field);
    }

    // The bag's value under the property's key, or fallback where the key is absent.
    static QVariant readBag(const PropertyBag &bag, const Descriptor &descriptor, const QVariant &fallback)
    {
        return bag.read(QString(descriptor.name), descriptor.type, fallback);
    }
    // The field into the bag under the property's key, unless it equals fallback.
    static void writeBag(PropertyBag &bag, const Properties &properties, const Descriptor &descriptor,
                         const QVariant &fallback)
    {
        bag.write(QString(descriptor.name), descriptor.type, fieldValue(properties, descriptor), fallback);
    }

private:
    std::array<Descriptor, Count> m_rows;
};
