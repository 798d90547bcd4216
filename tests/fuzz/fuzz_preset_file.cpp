// The user's preset file: any text loads without crashing; every entry loaded can be run (a name
// of its own, one line, not the program's; a plain extension; no empty argument, no -n or -y), and
// every problem names the file.

#include "FuzzSupport.h"
#include "workflow/PresetFile.h"

#include <QRegularExpression>
#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString file = QStringLiteral("presets.json");
    const QStringList taken{QStringLiteral("WAVE Sound (WAV)"), QStringLiteral("A")};
    const PresetFile::Contents contents = PresetFile::parse(Fuzz::bytes(data, size), file, taken);

    static const QRegularExpression extension(QStringLiteral("^\\.[A-Za-z0-9]{1,15}$"));
    QSet<QString> names;
    for (const PresetFile::Entry &entry : contents.entries) {
        if (entry.name.isEmpty() || entry.name.trimmed() != entry.name || entry.name.contains(QLatin1Char('\n')))
            Fuzz::fail("an entry with a name that is not one plain line", entry.name);
        if (taken.contains(entry.name) || names.contains(entry.name))
            Fuzz::fail("an entry with a name already taken", entry.name);
        names.insert(entry.name);
        if (!extension.match(entry.extension).hasMatch())
            Fuzz::fail("an entry with an extension that is not plain", entry.extension);
        for (const QString &argument : entry.arguments) {
            if (argument.isEmpty() || argument == QLatin1String("-n") || argument == QLatin1String("-y"))
                Fuzz::fail("an entry with an argument that fails every run", entry.arguments.join(QLatin1Char('|')));
        }
    }
    for (const QString &problem : contents.problems) {
        if (!problem.startsWith(file))
            Fuzz::fail("a problem that does not name the file", problem);
    }
    const PresetFile::Contents again = PresetFile::parse(Fuzz::bytes(data, size), file, taken);
    if (again.problems != contents.problems || again.entries.size() != contents.entries.size())
        Fuzz::fail("the same text loads differently");
    return 0;
}
