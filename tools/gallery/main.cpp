// Writes PNG contact sheets of the program's two self-painted controls in their styles, states
// and effects to the folder given on the command line, for looking at. It compares nothing.

#include "ButtonSheets.h"
#include "ProBarSheets.h"
#include "Stage.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: gallery <output folder>\n");
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
