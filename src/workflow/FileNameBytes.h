#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names are bytes; Qt's own conversion turns bytes that are not UTF-8 (a Latin-1 "café" from
// an old archive) into U+FFFD and loses them. These carry such a byte in a QString as the lone
// low surrogate U+DC80..U+DCFF (as Python's "surrogateescape" does), so that a name read from
// argv reaches the file system as the same bytes. Valid UTF-8 reads as QString::fromUtf8 does.
namespace FileNameBytes {

QString decode(QByteArrayView bytes);
QByteArray encode(const QString &name);

// Whether the name is text: it carries no byte that is not UTF-8.
bool isText(const QString &name);
// For people and JSON: each carried byte shown as U+FFFD.
QString shown(const QString &name);
// Without loss, in text: each carried byte as "\xNN" and a backslash as "\\".
QString escaped(const QString &name);
// The name made absolute against the current folder and cleaned, the carried bytes kept (Qt's
// own file classes would turn them into U+FFFD).
QString absolute(const QString &name);

} // namespace FileNameBytes
