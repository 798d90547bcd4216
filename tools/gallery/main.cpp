// Writes PNG contact sheets of the program's two self-painted controls in their styles, states
// and effects to the folder given on the command line, for looking at. It compares nothing.

#include "ButtonSheets.h"
#include "ProBarSheets.h"
#include "Stage.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstring>

namespace {

const char Usage[] = "usage: gallery <output folder>\n";

} // namespace

int main(int argc, char **argv)
{
    // One option-like argument names no folder: --help and -h ask for the usage, any other option
    // is a mistake. Either way nothing is written.
    if (argc == 2 && argv[1][0] == '-') {
        const bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
        if (!help)
            std::fprintf(stderr, "gallery: unknown option %s\n", argv[1]);
        std::fputs(Usage, help ? stdout : stderr);
        return help ? 0 : 2;
    }
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs(Usage, stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    Stage stage;
    writeButtonSheets(stage, folder);
    writeProBarSheets(stage, folder);
    std::printf("wrote the contact sheets to %s\n", argv[1]);
    return 0;
}
