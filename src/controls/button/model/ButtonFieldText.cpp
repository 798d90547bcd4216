#include "controls/button/model/ButtonFieldText.h"

#include "common/Rounding.h"
#include "common/RuntimeError.h"

#include <QFile>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool isSign(QChar c) { return c == u'-' || c == u'+'; }
bool isExponentMark(QChar c) { return c == u'e' || c == u'E' || c == u'd' || c == u'D'; }

// Collects the leading number's characters, blanks dropped, in the form strtod reads; empty
// when the text has no leading number.
std::string numberCharacters(const QString &text)
{
    std::string number;
    bool digits = false;
    bool point = false;
    bool exponent = false;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto next = [&] {
        while (i < n && isBlank(text.at(i)))
            ++i;
        return i < n ? text.at(i) : QChar();
    };
    if (isSign(next()))
        number += char(text.at(i++).unicode());
    for (QChar c = next(); i < n; c = next()) {
        if (isDigit(c)) {
            digits = digits || !exponent;
            number += char(c.unicode());
        } else if (c == u'.' && !point && !exponent) {
            point = true;
            number += '.';
        } else if (isExponentMark(c) && digits && !exponent) {
            exponent = true;
            number += 'e';
            ++i;
            if (isSign(next()))
                number += char(text.at(i).unicode());
            else
                continue;
        } else {
            break;
        }
        ++i;
    }
    if (!digits)
        return {};
    if (exponent && !isDigit(QChar(number.back())))
        number += '0';
    return number;
}

qsizetype countDigits(const QString &text, qsizetype &i)
{
    const qsizetype start = i;
    while (i < text.size() && isDigit(text.at(i)))
        ++i;
    return i - start;
}

// The whole text is one decimal number, with no blanks inside.
bool isNumberText(const QString &text)
{
    qsizetype i = 0;
    if (i < text.size() && isSign(text.at(i)))
        ++i;
    qsizetype mantissa = countDigits(text, i);
    if (i < text.size() && text.at(i) == u'.') {
        ++i;
        mantissa += countDigits(text, i);
    }
    if (mantissa == 0)
        return false;
    if (i < text.size() && isExponentMark(text.at(i))) {
        ++i;
        if (i < text.size() && isSign(text.at(i)))
            ++i;
        if (countDigits(text, i) == 0)
            return false;
    }
    return i == text.size();
}

} // namespace

namespace ButtonFieldText {

QString formatBoolean(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

QString formatWhole(int64_t value) { return QString::number(value); }

QString formatSingle(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

double leadingNumber(const QString &text)
{
    const std::string characters = numberCharacters(text);
    return characters.empty() ? 0.0 : std::strtod(characters.c_str(), nullptr);
}

int32_t readLong(const QString &field) { return Rounding::toLong(leadingNumber(field)); }

int16_t readInteger(const QString &field) { return Rounding::toInteger(leadingNumber(field)); }

float readSingle(const QString &field)
{
    const double value = leadingNumber(field);
    if (std::fabs(value) > FLT_MAX)
        throw RuntimeError::overflow();
    return static_cast<float>(value);
}

bool readBoolean(const QString &field)
{
    const QString trimmed = field.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (!isNumberText(trimmed))
        throw RuntimeError::typeMismatch();
    return leadingNumber(trimmed) != 0.0;
}

QStringList split(const QString &line)
{
    if (line.isEmpty())
        return {};
    return line.split(Separator);
}

bool readFirstLine(const QString &fileName, QString &line)
{
    line.clear();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes;
    char chunk[64 * 1024];
    while (bytes.size() < MaxLineBytes) {
        const qint64 wanted = std::min<qint64>(sizeof chunk, MaxLineBytes - bytes.size());
        const qint64 got = file.read(chunk, wanted);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        const qsizetype start = bytes.size();
        bytes.append(chunk, got);
        const qsizetype cr = bytes.indexOf('\r', start);
        if (cr >= 0) {
            bytes.truncate(cr);
            break;
        }
    }
    line = QString::fromUtf8(bytes);
    return true;
}

bool writeLine(const QString &fileName, const QString &line, bool followLinks)
{
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW), 0666);
    if (fd < 0)
        return false;
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    const QByteArray bytes = line.toUtf8() + "\r\n";
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace ButtonFieldText
