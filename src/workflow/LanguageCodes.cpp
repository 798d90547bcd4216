#include "workflow/LanguageCodes.h"

#include <QRegularExpression>


namespace {

// ISO 639-1, ISO 639-2/T, ISO 639-2/B (where it differs) for the languages films are dubbed and
// subtitled in; a three-letter code outside the table still matches itself.
struct Language {
    const char *two;
    const char *terminology;
    const char *bibliographic;
};

constexpr Language Table[] = {
    {"af", "afr", ""},    {"ar", "ara", ""},    {"bg", "bul", ""},    {"bn", "ben", ""},    {"bs", "bos", ""},
    {"ca", "cat", ""},    {"cs", "ces", "cze"}, {"cy", "cym", "wel"}, {"da", "dan", ""},    {"de", "deu", "ger"},
    {"el", "ell", "gre"}, {"en", "eng", ""},    {"eo", "epo", ""},    {"es", "spa", ""},    {"et", "est", ""},
    {"eu", "eus", "baq"}, {"fa", "fas", "per"}, {"fi", "fin", ""},    {"fr", "fra", "fre"}, {"ga", "gle", ""},
    {"gl", "glg", ""},    {"he", "heb", ""},    {"hi", "hin", ""},    {"hr", "hrv", ""},    {"hu", "hun", ""},
    {"hy", "hye", "arm"}, {"id", "ind", ""},    {"is", "isl", "ice"}, {"it", "ita", ""},    {"ja", "jpn", ""},
    {"ka", "kat", "geo"}, {"kk", "kaz", ""},    {"km", "khm", ""},    {"ko", "kor", ""},    {"la", "lat", ""},
    {"lt", "lit", ""},    {"lv", "lav", ""},    {"mk", "mkd", "mac"}, {"ml", "mal", ""},    {"mn", "mon", ""},
    {"mr", "mar", ""},    {"ms", "msa", "may"}, {"mt", "mlt", ""},    {"my", "mya", "bur"}, {"nb", "nob", ""},
    {"ne", "nep", ""},    {"nl", "nld", "dut"}, {"nn", "nno", ""},    {"no", "nor", ""},    {"pa", "pan", ""},
    {"pl", "pol", ""},    {"pt", "por", ""},    {"ro", "ron", "rum"}, {"ru", "rus", ""},    {"sk", "slk", "slo"},
    {"sl", "slv", ""},    {"sq", "sqi", "alb"}, {"sr", "srp", ""},    {"sv", "swe", ""},    {"sw", "swa", ""},
    {"ta", "tam", ""},    {"te", "tel", ""},    {"th", "tha", ""},    {"tl", "tgl", ""},    {"tr", "tur", ""},
    {"uk", "ukr", ""},    {"ur", "urd", ""},    {"uz", "uzb", ""},    {"vi", "vie", ""},    {"yi", "yid", ""},
    {"zh", "zho", "chi"}, {"zu", "zul", ""},
};

} // namespace

namespace LanguageCodes {

QStringList equivalents(const QString &code)
{
    static const QRegularExpression letters(QStringLiteral("^[a-z]{2,3}$"));
    const QString lower = code.toLower();
    if (!letters.match(lower).hasMatch())
        return {};
    for (const Language &language : Table) {
        if (lower == QLatin1String(language.two) || lower == QLatin1String(language.terminology)
            || lower == QLatin1String(language.bibliographic)) {
            QStringList all{QLatin1String(language.two), QLatin1String(language.terminology)};
            if (*language.bibliographic)
                all << QLatin1String(language.bibliographic);
            return all;
        }
    }
    return lower.size() == 3 ? QStringList{lower} : QStringList{};
}

bool matches(const QString &code, const QString &trackLanguage)
{
    return !trackLanguage.isEmpty() && equivalents(code).contains(trackLanguage.toLower());
}

} // namespace LanguageCodes
