#include "workflow/FileNameBytes.h"

#include <QDir>

#include <climits>
#include <unistd.h>

namespace FileNameBytes {

namespace {

constexpr char16_t CarriedFirst = 0xDC80;
constexpr char16_t CarriedLast = 0xDCFF;

bool isCarried(const QString &name, qsizetype i)
{
    const char16_t c = name.at(i).unicode();
    // A low surrogate after a high one is half of a real character.
    return c >= CarriedFirst && c <= CarriedLast && (i == 0 || !name.at(i - 1).isHighSurrogate());
}

// The length of the valid UTF-8 sequence at bytes[i] (RFC 3629: no overlong forms, no surrogates,
// nothing above U+10FFFF), or 0.
qsizetype validLength(QByteArrayView bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return k < bytes.size() ? uchar(bytes[k]) : 0u; };
    const auto tail = [](uint b) { return b >= 0x80 && b <= 0xBF; };
    const uint b0 = at(i);
    if (b0 < 0x80)
        return 1;
    if (b0 >= 0xC2 && b0 <= 0xDF)
        return tail(at(i + 1)) ? 2 : 0;
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        const uint b1 = at(i + 1);
        const bool first = b0 == 0xE0 ? (b1 >= 0xA0 && b1 <= 0xBF) : b0 == 0xED ? (b1 >= 0x80 && b1 <= 0x9F) : tail(b1);
        return first && tail(at(i + 2)) ? 3 : 0;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        const uint b1 = at(i + 1);
        const bool first = b0 == 0xF0 ? (b1 >= 0x90 && b1 <= 0xBF) : b0 == 0xF4 ? (b1 >= 0x80 && b1 <= 0x8F) : tail(b1);
        return first && tail(at(i + 2)) && tail(at(i + 3)) ? 4 : 0;
    }
    return 0;
}

} // namespace

QString decode(QByteArrayView bytes)
{
    QString name;
    name.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        qsizetype run = i;
        qsizetype length = 0;
        while (run < bytes.size() && (length = validLength(bytes, run)) > 0)
            run += length;
        name += QString::fromUtf8(bytes.sliced(i, run - i));
        if (run < bytes.size()) {
            name += QChar(char16_t(0xDC00 + uchar(bytes[run])));
            ++run;
        }
        i = run;
    }
    return name;
}

QByteArray encode(const QString &name)
{
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isCarried(name, i))
            continue;
        bytes += QStringView(name).sliced(start, i - start).toUtf8();
        bytes += char(name.at(i).unicode() - 0xDC00);
        start = i + 1;
    }
    bytes += QStringView(name).sliced(start).toUtf8();
    return bytes;
}

bool isText(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isCarried(name, i))
            return false;
    }
    return true;
}

QString shown(const QString &name)
{
    QString text = name;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isCarried(name, i))
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

QString escaped(const QString &name)
{
    QString text;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isCarried(name, i))
            text += QStringLiteral("\\x%1").arg(name.at(i).unicode() - 0xDC00, 2, 16, QLatin1Char('0'));
        else if (name.at(i) == QLatin1Char('\\'))
            text += QLatin1String("\\\\");
        else
            text += name.at(i);
    }
    return text;
}

QString absolute(const QString &name)
{
    if (name.startsWith(u'/'))
        return QDir::cleanPath(name);
    QByteArray folder(PATH_MAX, '\0');
    if (!::getcwd(folder.data(), size_t(folder.size())))
        return name;
    folder.truncate(qsizetype(qstrlen(folder.constData())));
    return QDir::cleanPath(decode(folder) + u'/' + name);
}

} // namespace FileNameBytes
