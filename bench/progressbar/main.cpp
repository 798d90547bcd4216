// DrawBar and one busy tick on the main window's 386 × 32 bar with its stored values.

#include "common/Picture.h"
#include "common/PropertyBag.h"
#include "controls/progressbar/TavloProBar.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QImage gradient(QColor from, QColor to)
{
    QImage image(386, 32, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient fill(0, 0, 0, 32);
    fill.setColorAt(0, from);
    fill.setColorAt(1, to);
    painter.fillRect(image.rect(), fill);
    return image;
}

PropertyBag windowBag()
{
    const QJsonObject stored{
        {"BackColor", 0}, {"ProValue", "0"}, {"BlockSize", 10}, {"BlockGap", 1}, {"BlockDepth", 55},
        {"BlockFeather", 300}, {"BlockColor1", 33023}, {"BlockStyle", 3}, {"BorderColor1", 0},
        {"BorderColor2", 16384}, {"BusySpeed", 30}, {"CoverAlpha", 100}, {"CoverShow", true},
        {"CaptionColor", 16777215}, {"CaptionShadow", true}, {"CaptionShadowColor", 4210752}};
    PropertyBag bag(stored);
    const QVariant nothing = QVariant::fromValue(Picture());
    bag.write(QStringLiteral("CoverPic"), PropertyType::Picture,
              QVariant::fromValue(Picture::fromImage(gradient(Qt::white, QColor(20, 20, 20)))), nothing);
    bag.write(QStringLiteral("BackPicture"), PropertyType::Picture,
              QVariant::fromValue(Picture::fromImage(gradient(QColor(18, 38, 30), QColor(4, 10, 8)))), nothing);
    return bag;
}

struct WindowBar {
    WindowBar()
    {
        parent.setAttribute(Qt::WA_DontShowOnScreen);
        bar = std::make_unique<TavloProBar>(&parent);
        bar->ReadProperties(windowBag());
        bar->resize(386, 32);
        parent.show();
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(9.75);
        font.setBold(true);
        bar->setFont(font);
        bar->setCaption(QStringLiteral("Converting Video File. Please wait..."));
        bar->setProValue(50);
    }
    QWidget parent;
    std::unique_ptr<TavloProBar> bar;
};

void DrawBarWindow50(benchmark::State &state)
{
    WindowBar window;
    for (auto _ : state)
        window.bar->DrawBar();
}
BENCHMARK(DrawBarWindow50)->Unit(benchmark::kMicrosecond);

void BusyTickWindow(benchmark::State &state)
{
    WindowBar window;
    window.bar->setBarMode(2);
    for (auto _ : state)
        window.bar->busyTick();
}
BENCHMARK(BusyTickWindow)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
