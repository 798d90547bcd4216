// Names carried as bytes: any bytes decode and encode back to themselves; a name is text exactly
// when its bytes are UTF-8; the shown form is valid text and the escaped form loses nothing.

#include "FuzzSupport.h"
#include "workflow/FileNameBytes.h"

#include <QStringDecoder>

namespace {

// The reader's side of the escaped form: "\\" is a backslash, "\xNN" the byte NN.
QByteArray unescaped(const QString &escaped)
{
    const QByteArray text = escaped.toUtf8();
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != '\\') {
            bytes += text.at(i);
        } else if (text.mid(i + 1, 1) == "\\") {
            bytes += '\\';
            i += 1;
        } else {
            bytes += char(text.mid(i + 2, 2).toInt(nullptr, 16));
            i += 3;
        }
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::bytes(data, size);
    const QString name = FileNameBytes::decode(bytes);
    if (FileNameBytes::encode(name) != bytes)
        Fuzz::fail("bytes do not survive decoding and encoding", QString::fromLatin1(bytes.toHex()));

    // Stateless: a sequence cut short at the end is an error, not a wait for more.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString strict = utf8.decode(bytes);
    if (FileNameBytes::isText(name) == utf8.hasError())
        Fuzz::fail("text and UTF-8 disagree", QString::fromLatin1(bytes.toHex()));
    if (FileNameBytes::isText(name) && name != strict)
        Fuzz::fail("valid UTF-8 decodes otherwise than Qt's", QString::fromLatin1(bytes.toHex()));

    const QString shown = FileNameBytes::shown(name);
    if (!FileNameBytes::isText(shown) || shown.size() != name.size())
        Fuzz::fail("the shown form is not text of the same length", QString::fromLatin1(bytes.toHex()));
    const QString escaped = FileNameBytes::escaped(name);
    if (!FileNameBytes::isText(escaped) || unescaped(escaped) != bytes)
        Fuzz::fail("the escaped form is not text or loses bytes", QString::fromLatin1(bytes.toHex()));
    return 0;
}
