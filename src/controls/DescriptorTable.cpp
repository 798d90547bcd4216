#include "controls/DescriptorTable.h"

namespace PropertyCarrier {

QVariant wrap(bool value) { return QVariant(value); }
QVariant wrap(int16_t value) { return QVariant::fromValue<qint16>(value); }
QVariant wrap(int32_t value) { return QVariant::fromValue<qint32>(value); }
QVariant wrap(float value) { return QVariant(value); }
QVariant wrap(const QString &value) { return QVariant(value); }
QVariant wrap(const Picture &value) { return QVariant::fromValue(value); }
QVariant wrap(const QFont &value) { return QVariant::fromValue(value); }
QVariant wrap(const QVariant &value) { return value; }

void unwrap(const QVariant &from, bool &to) { to = from.toBool(); }
void unwrap(const QVariant &from, int16_t &to) { to = static_cast<int16_t>(from.toInt()); }
void unwrap(const QVariant &from, int32_t &to) { to = from.toInt(); }
void unwrap(const QVariant &from, float &to) { to = from.toFloat(); }
void unwrap(const QVariant &from, QString &to) { to = from.toString(); }
void unwrap(const QVariant &from, Picture &to) { to = from.value<Picture>(); }
void unwrap(const QVariant &from, QFont &to) { to = from.value<QFont>(); }
void unwrap(const QVariant &from, QVariant &to) { to = from; }

} // namespace PropertyCarrier
