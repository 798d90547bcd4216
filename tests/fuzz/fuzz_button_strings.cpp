// The button's theme string (or, built with FUZZ_SETTINGS, its settings string) loaded into a
// real TavloClick: any text loads or fails with a RuntimeError, the control then paints in all
// three states, what it saves loads back as itself (unless a text does not fit the unescaped
// line, and but for the frozen look, which a load with Freeze on captures again), and the same
// text from a file never fails.

#include "FuzzSupport.h"
#include "common/RuntimeError.h"
#include "controls/button/TavloClick.h"
#include "controls/button/model/ButtonFieldText.h"
#include "controls/button/model/ButtonLayouts.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

#ifdef FUZZ_SETTINGS
constexpr const char *What = "settings";
void load(TavloClick &button, const QString &file, const QString &line) { button.LoadButtonSettings(file, line); }
QString save(TavloClick &button) { return button.SaveButtonSettings(QString()); }

qsizetype fieldIndex(ButtonProperty id)
{
    const auto &layout = ButtonLayouts::settingsFields();
    const auto at = std::find_if(layout.begin(), layout.end(), [id](const ButtonLayouts::TextField &field) {
        return field.kind == ButtonLayouts::TextField::Kind::Field && field.id == id;
    });
    return at - layout.begin();
}

// The line has no escaping: a text holding the separator, or ending in half of it, runs into the
// next field, so only lines without such texts can load as themselves.
bool textsFit(const TavloClick &button)
{
    for (const QString &text : {button.Caption(), button.SoundCustom1(), button.SoundCustom2(), button.Font().family()}) {
        if (text.contains(ButtonFieldText::Separator) || text.endsWith(u'#'))
            return false;
    }
    return true;
}

// A load that leaves Freeze on captures the frozen pictures again, which turns CustomPic on.
QString afterLoading(const QString &line)
{
    QStringList fields = ButtonFieldText::split(line);
    if (fields.value(fieldIndex(ButtonProperty::Freeze)) == ButtonFieldText::formatBoolean(true))
        fields[fieldIndex(ButtonProperty::CustomPic)] = ButtonFieldText::formatBoolean(true);
    return fields.join(ButtonFieldText::Separator);
}
#else
constexpr const char *What = "theme";
void load(TavloClick &button, const QString &file, const QString &line) { button.LoadButtonTheme(file, line); }
QString save(TavloClick &button) { return button.SaveButtonTheme(QString()); }
bool textsFit(const TavloClick &) { return true; }
QString afterLoading(const QString &line) { return line; }
#endif

QString fileName;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::startApplication();
    static QTemporaryDir *folder = new QTemporaryDir;
    fileName = folder->filePath(QStringLiteral("fuzz.line"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line = Fuzz::text(data, size);
    QString saved;
    bool fits = true;
    {
        TavloClick button;
        try {
            load(button, QString(), line);
        } catch (const RuntimeError &) {
            // A refused field stops the load; what was read before it stays.
        }
        for (int state : {1, 2, 0})
            button.Redraw(state);
        saved = save(button);
        fits = textsFit(button);
    }
    {
        TavloClick copy;
        try {
            load(copy, QString(), saved);
        } catch (const RuntimeError &error) {
            Fuzz::fail(What, QStringLiteral("a saved line does not load: %1\n%2").arg(error.text(), saved));
        }
        const QString again = save(copy);
        if (fits && again != afterLoading(saved))
            Fuzz::fail(What, QStringLiteral("a saved line loads as another:\n%1\n%2").arg(saved, again));
    }

    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        Fuzz::fail("cannot write the input file", fileName);
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();
    TavloClick fromFile;
    try {
        load(fromFile, fileName, QString());
    } catch (const RuntimeError &error) {
        Fuzz::fail(What, QStringLiteral("a load from a file failed: %1").arg(error.text()));
    }
    return 0;
}
