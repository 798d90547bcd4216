#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// The field encodings of the button's theme and settings strings, and their one-line files.
// Fields are joined by "##" without escaping; whole numbers are plain decimal, Singles their
// shortest decimal form, Booleans "True" or "False".
namespace ButtonFieldText {

inline const QString Separator = QStringLiteral("##");

// The longest line a theme or settings file is read to; longer lines are cut there, so that no
// file (however large, or endless) is read without bound.
inline constexpr qint64 MaxLineBytes = 4 * 1024 * 1024;

QString formatBoolean(bool value);
QString formatWhole(int64_t value);
// The shortest text that reads back as the same Single: 5, 6.5, 1e+20.
QString formatSingle(float value);

// The leading decimal number of the text: blanks anywhere are ignored, an optional sign, digits
// with an optional point, an optional exponent (e or d); no leading number reads as 0.
double leadingNumber(const QString &text);

// Reads of one field. Long and Integer fields are the leading number rounded half to even, a
// Single keeps its fraction; a value beyond the type's range throws the overflow RuntimeError.
int32_t readLong(const QString &field);
int16_t readInteger(const QString &field);
float readSingle(const QString &field);
// "True" or "False" in any letter case, or a number (0 False, anything else True); other text
// throws the type-mismatch RuntimeError.
bool readBoolean(const QString &field);

// The fields of a line; an empty line has none.
QStringList split(const QString &line);

// The first line of a file: its text (UTF-8) up to the first carriage return, at most
// MaxLineBytes. Returns false, leaving line empty, when the file cannot be opened or read.
bool readFirstLine(const QString &fileName, QString &line);
// Creates or empties the file and writes the line and CR LF (UTF-8). Returns false on failure,
// and without followLinks when the name is a link.
bool writeLine(const QString &fileName, const QString &line, bool followLinks = true);

} // namespace ButtonFieldText
