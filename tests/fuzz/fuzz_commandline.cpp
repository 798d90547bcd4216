// The encoder's command line: splitting any text never fails and is stable under joining again;
// any argument list (the input cut at 0xFF bytes, which UTF-8 never holds) survives joining and
// splitting, and every argument survives quoting alone.

#include "FuzzSupport.h"
#include "engine/CommandLine.h"

using namespace CommandLine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList split = splitCommandLine(Fuzz::text(data, size));
    if (splitCommandLine(joinCommandLine(split)) != split)
        Fuzz::fail("a split line joins into another", split.join(QStringLiteral("|")));

    const QStringList arguments = Fuzz::pieces(data, size, char(0xFF));
    const QString line = joinCommandLine(arguments);
    if (splitCommandLine(line) != arguments)
        Fuzz::fail("an argument list does not survive the line", line);
    for (const QString &argument : arguments) {
        if (splitCommandLine(quote(argument)) != QStringList{argument})
            Fuzz::fail("a quoted argument does not split as itself", quote(argument));
    }
    return 0;
}
