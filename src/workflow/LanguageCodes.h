#pragma once

#include <QString>
#include <QStringList>

// Language codes as files tag their tracks: ISO 639-2 (both its bibliographic and terminology
// forms, "ger" and "deu") and the two-letter ISO 639-1 ("de"), all meaning the same language.
namespace LanguageCodes {

// Every code for the language of this one, lower case, itself included; empty when the code is
// not one: two letters that ISO 639-1 does not list, or anything but two or three letters.
QStringList equivalents(const QString &code);

// Whether a track tagged so is in the language of the code.
bool matches(const QString &code, const QString &trackLanguage);

} // namespace LanguageCodes
