#pragma once

#include <QString>

#include <stdexcept>

// The run-time errors of the controls' original platform, with their numbers, so that callers
// that ignore or report them can tell them apart.
class RuntimeError : public std::runtime_error {
public:
    enum Code : int {
        Overflow = 6,
        DivisionByZero = 11,
        SubscriptOutOfRange = 9,
        TypeMismatch = 13,
        InvalidPropertyValue = 380,
    };

    RuntimeError(int code, const QString &text);

    static RuntimeError overflow();
    static RuntimeError divisionByZero();
    static RuntimeError subscriptOutOfRange();
    static RuntimeError typeMismatch();
    static RuntimeError invalidPropertyValue();

    int code() const { return m_code; }
    QString text() const { return QString::fromUtf8(what()); }

private:
    int m_code = 0;
};
