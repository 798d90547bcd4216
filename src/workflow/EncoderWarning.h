#pragma once

#include <QString>

// What the encoder adapter says the user should know about a finished run (its result is
// shorter than the source says: the source ended early), read from the job's output as it comes
// in pieces.
class EncoderWarning {
public:
    void reset();
    void feed(const QString &text);
    // The last such line's words, without the adapter's prefix; empty when none came.
    QString warning() const { return m_warning; }

private:
    void read(const QString &line);

    QString m_line;
    QString m_warning;
};
