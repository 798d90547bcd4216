#include "common/RuntimeError.h"

RuntimeError::RuntimeError(int code, const QString &text)
    : std::runtime_error(text.toStdString()), m_code(code)
{
}

RuntimeError RuntimeError::overflow() { return {Overflow, QStringLiteral("Overflow")}; }
RuntimeError RuntimeError::divisionByZero() { return {DivisionByZero, QStringLiteral("Division by zero")}; }
RuntimeError RuntimeError::subscriptOutOfRange()
{
    return {SubscriptOutOfRange, QStringLiteral("Subscript out of range")};
}
RuntimeError RuntimeError::typeMismatch() { return {TypeMismatch, QStringLiteral("Type mismatch")}; }
RuntimeError RuntimeError::invalidPropertyValue()
{
    return {InvalidPropertyValue, QStringLiteral("Invalid property value")};
}
