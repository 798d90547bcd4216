// Renders TavloProBar in every mode and block style at 0, 50 and 100, busy frames included,
// and the main window's stored look, to PNG files in the folder given on the command line.

#include "common/Picture.h"
#include "common/PropertyBag.h"
#include "controls/progressbar/TavloProBar.h"

#include <QApplication>
#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QRegion>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QColor Backdrop(212, 208, 200);

// The bar as it shows on its parent: the image within the control's shape.
QImage shown(const TavloProBar &bar)
{
    QImage out(bar.size(), QImage::Format_RGB32);
    out.fill(Backdrop);
    QPainter painter(&out);
    painter.setClipRegion(bar.mask().isEmpty() ? QRegion(bar.rect()) : bar.mask());
    painter.drawImage(0, 0, bar.image());
    return out;
}

QImage gradient(QSize size, QColor from, QColor to, bool vertical)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient fill(0, 0, vertical ? 0 : size.width(), vertical ? size.height() : 0);
    fill.setColorAt(0, from);
    fill.setColorAt(1, to);
    painter.fillRect(image.rect(), fill);
    return image;
}

struct Shot {
    QString name;
    QImage image;
};

class Gallery {
public:
    explicit Gallery(QString folder) : m_folder(std::move(folder)) {}

    void add(const QString &name, const TavloProBar &bar)
    {
        const QImage image = shown(bar);
        const QString path = QDir(m_folder).filePath(name + QStringLiteral(".png"));
        if (!image.save(path))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        m_shots.push_back({name, image});
    }

    // One overview page per group of shots, each labelled, for looking at them together.
    void sheet(const QString &name, int columns)
    {
        if (m_shots.empty())
            return;
        int cellW = 0;
        int cellH = 0;
        for (const Shot &shot : m_shots) {
            cellW = std::max(cellW, shot.image.width());
            cellH = std::max(cellH, shot.image.height());
        }
        cellW = std::max(cellW, 140) + 12;
        cellH += 24;
        const int rows = int((m_shots.size() + columns - 1) / columns);
        QImage page(columns * cellW + 12, rows * cellH + 12, QImage::Format_RGB32);
        page.fill(Backdrop);
        QPainter painter(&page);
        QFont label = painter.font();
        label.setPixelSize(10);
        painter.setFont(label);
        for (size_t i = 0; i < m_shots.size(); ++i) {
            const int x = 12 + int(i % columns) * cellW;
            const int y = 12 + int(i / columns) * cellH;
            painter.setPen(Qt::black);
            painter.drawText(x, y + 9, m_shots[i].name);
            painter.drawImage(x, y + 14, m_shots[i].image);
        }
        painter.end();
        page.save(QDir(m_folder).filePath(name + QStringLiteral(".png")));
        m_shots.clear();
    }

private:
    QString m_folder;
    std::vector<Shot> m_shots;
};

QSize sizeFor(int mode, QSize horizontal)
{
    return mode == 1 || mode == 3 ? horizontal.transposed() : horizontal;
}

void prepare(TavloProBar &bar, int mode, int style, QSize horizontal)
{
    bar.resize(sizeFor(mode, horizontal));
    bar.show();
    bar.setBarMode(mode);
    bar.resize(sizeFor(mode, horizontal));
    // A new instance's BlockPicture holds no image, which style 5 cannot paint: set it first.
    bar.setBlockPicture(Picture::fromImage(gradient(QSize(16, 32), QColor(90, 160, 255), QColor(10, 40, 140),
                                                    mode == 0 || mode == 2)));
    if (style == 2 || style == 3 || style == 4)
        bar.setBlockColor2(0x1E5A1E);
    bar.setBlockStyle(style);
}

// The main window's bar with its stored values, its artwork generated here.
PropertyBag windowBag()
{
    PropertyBag bag;
    const auto colour = [](qint32 c) { return QVariant::fromValue<qint32>(c); };
    const auto none = QVariant::fromValue(Picture());
    bag.write(QStringLiteral("BackColor"), PropertyType::Colour, colour(0), colour(qint32(0x8000000F)));
    bag.write(QStringLiteral("ProValue"), PropertyType::Variant, QStringLiteral("0"), QVariant::fromValue<qint16>(50));
    bag.write(QStringLiteral("BlockSize"), PropertyType::Long, colour(10), colour(6));
    bag.write(QStringLiteral("BlockGap"), PropertyType::Long, colour(1), colour(2));
    bag.write(QStringLiteral("BlockDepth"), PropertyType::Long, colour(55), colour(25));
    bag.write(QStringLiteral("BlockFeather"), PropertyType::Long, colour(300), colour(100));
    bag.write(QStringLiteral("BlockColor1"), PropertyType::Colour, colour(33023), colour(0x2BD228));
    bag.write(QStringLiteral("BlockStyle"), PropertyType::Long, colour(3), colour(0));
    bag.write(QStringLiteral("BorderColor1"), PropertyType::Colour, colour(0), colour(0xBEBEBE));
    bag.write(QStringLiteral("BorderColor2"), PropertyType::Colour, colour(16384), colour(0xF0F0F0));
    bag.write(QStringLiteral("BusySpeed"), PropertyType::Long, colour(30), colour(25));
    bag.write(QStringLiteral("CoverPic"), PropertyType::Picture,
              QVariant::fromValue(Picture::fromImage(gradient(QSize(386, 32), QColor(255, 255, 255), QColor(20, 20, 20), true))), none);
    bag.write(QStringLiteral("CoverAlpha"), PropertyType::Long, colour(100), colour(200));
    bag.write(QStringLiteral("CoverShow"), PropertyType::Boolean, true, false);
    bag.write(QStringLiteral("BackPicture"), PropertyType::Picture,
              QVariant::fromValue(Picture::fromImage(gradient(QSize(386, 32), QColor(18, 38, 30), QColor(4, 10, 8), true))), none);
    bag.write(QStringLiteral("CaptionColor"), PropertyType::Colour, colour(0xFFFFFF), colour(0));
    bag.write(QStringLiteral("CaptionShadow"), PropertyType::Boolean, true, false);
    bag.write(QStringLiteral("CaptionShadowColor"), PropertyType::Colour, colour(0x404040), colour(0));
    return bag;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: progressbar-gallery <output folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    Gallery gallery(folder);
    QWidget parent;
    parent.setAttribute(Qt::WA_DontShowOnScreen);
    QFont ambient(QStringLiteral("Liberation Sans"));
    ambient.setPointSizeF(8.25);
    parent.setFont(ambient);
    parent.resize(600, 600);
    parent.show();

    // Progress modes: every style at 0, 50 and 100, and flipped at 50.
    for (const int mode : {0, 1}) {
        for (int style = 0; style <= 5; ++style) {
            for (const int value : {0, 50, 100}) {
                TavloProBar bar(&parent);
                prepare(bar, mode, style, QSize(200, 20));
                bar.setProValue(value);
                gallery.add(QStringLiteral("mode%1-style%2-%3").arg(mode).arg(style).arg(value, 3, 10, QLatin1Char('0')), bar);
            }
            TavloProBar flipped(&parent);
            prepare(flipped, mode, style, QSize(200, 20));
            flipped.setBarFlip(true);
            gallery.add(QStringLiteral("mode%1-style%2-050-flip").arg(mode).arg(style), flipped);
        }
        gallery.sheet(QStringLiteral("sheet-mode%1").arg(mode), mode == 0 ? 4 : 12);
    }

    // Busy modes: frames of the comet for every style.
    for (const int mode : {2, 3}) {
        for (int style = 0; style <= 5; ++style) {
            TavloProBar bar(&parent);
            prepare(bar, mode, style, QSize(200, 20));
            bar.setCaption(QStringLiteral("Busy"));
            bar.setBusy(true);
            int ticks = 0;
            for (const int frame : {1, 8, 17, 25, 30}) {
                while (ticks < frame) {
                    bar.busyTick();
                    ++ticks;
                }
                gallery.add(QStringLiteral("mode%1-style%2-busy-phase%3").arg(mode).arg(style).arg(bar.busyPhase(), 3, 10, QLatin1Char('0')), bar);
            }
        }
        gallery.sheet(QStringLiteral("sheet-mode%1").arg(mode), mode == 2 ? 5 : 15);
    }

    // The main window's bar: stored values, 386 × 32, Arial 9.75 bold.
    for (const int value : {0, 50, 100}) {
        TavloProBar bar(&parent);
        bar.ReadProperties(windowBag());
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(9.75);
        font.setBold(true);
        bar.resize(386, 32);
        bar.show();
        bar.setFont(font);
        bar.setShowValue(true);
        bar.setCaption(value == 100 ? QStringLiteral("Conversion Finished !")
                                    : QStringLiteral("Converting Video File. Please wait..."));
        bar.setProValue(value);
        gallery.add(QStringLiteral("window-%1").arg(value, 3, 10, QLatin1Char('0')), bar);
    }
    gallery.sheet(QStringLiteral("sheet-window"), 1);
    std::printf("wrote the gallery to %s\n", argv[1]);
    return 0;
}
