#include "ProBarSheets.h"

#include "ContactSheet.h"
#include "Stage.h"
#include "common/Picture.h"
#include "controls/progressbar/TavloProBar.h"

#include <QLinearGradient>
#include <QPainter>

#include <cstdio>

namespace {

QImage blockPicture(bool horizontal)
{
    QImage image(16, 32, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient fill(0, 0, horizontal ? 0 : 16, horizontal ? 32 : 0);
    fill.setColorAt(0, QColor(90, 160, 255));
    fill.setColorAt(1, QColor(10, 40, 140));
    painter.fillRect(image.rect(), fill);
    return image;
}

// A bar of the mode (0 row, 1 column, 2 busy row, 3 busy column) and block style, 200 long.
void prepare(TavloProBar &bar, int mode, int style)
{
    const QSize size = mode == 1 || mode == 3 ? QSize(20, 200) : QSize(200, 20);
    bar.move(12, 12);
    bar.resize(size);
    bar.show();
    bar.setBarMode(mode);
    bar.resize(size);
    // Style 5 stretches BlockPicture, which a new bar does not have.
    bar.setBlockPicture(Picture::fromImage(blockPicture(mode == 0 || mode == 2)));
    if (style >= 2 && style <= 4)
        bar.setBlockColor2(0x1E5A1E);
    bar.setBlockStyle(style);
}

void save(const ContactSheet &sheet, const QString &folder, const QString &name)
{
    if (!sheet.save(folder, name))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
}

} // namespace

void writeProBarSheets(Stage &stage, const QString &folder)
{
    ContactSheet rows(QStringLiteral("Progress bar, BarMode 0: BlockStyle (rows) x value 0, 50, 100, flipped 50"), 4);
    ContactSheet columns(QStringLiteral("Progress bar, BarMode 1: BlockStyle x value 0, 50, 100, flipped 50"), 12);
    for (const int mode : {0, 1}) {
        ContactSheet &sheet = mode == 0 ? rows : columns;
        for (int style = 0; style <= 5; ++style) {
            for (const int value : {0, 50, 100}) {
                TavloProBar bar(&stage);
                prepare(bar, mode, style);
                bar.setProValue(value);
                sheet.add(QStringLiteral("style %1 %2").arg(style).arg(value), stage.shoot(bar));
            }
            TavloProBar flipped(&stage);
            prepare(flipped, mode, style);
            flipped.setBarFlip(true);
            sheet.add(QStringLiteral("style %1 flip").arg(style), stage.shoot(flipped));
        }
    }
    save(rows, folder, QStringLiteral("probar-mode0"));
    save(columns, folder, QStringLiteral("probar-mode1"));

    ContactSheet busyRows(QStringLiteral("Progress bar, BarMode 2 (busy): BlockStyle (rows) x comet frames"), 5);
    ContactSheet busyColumns(QStringLiteral("Progress bar, BarMode 3 (busy): BlockStyle x comet frames"), 15);
    for (const int mode : {2, 3}) {
        ContactSheet &sheet = mode == 2 ? busyRows : busyColumns;
        for (int style = 0; style <= 5; ++style) {
            TavloProBar bar(&stage);
            prepare(bar, mode, style);
            bar.setCaption(QStringLiteral("Busy"));
            bar.setBusy(true);
            int ticks = 0;
            for (const int frame : {1, 8, 17, 25, 30}) {
                for (; ticks < frame; ++ticks)
                    bar.busyTick();
                sheet.add(QStringLiteral("style %1 phase %2").arg(style).arg(bar.busyPhase()), stage.shoot(bar));
            }
        }
    }
    save(busyRows, folder, QStringLiteral("probar-mode2"));
    save(busyColumns, folder, QStringLiteral("probar-mode3"));
}
