// Repaints of a 120 × 65 TavloClick (the Convert button's size) with the built-in theme and border
// style 3: Redraw for each of the 25 face styles in each state, one fade tick, and the hover
// effect 0. Target: every Redraw under 1 ms.
//   bench_button --benchmark_filter=Redraw

#include "controls/button/TavloClick.h"

#include <QApplication>
#include <QMetaObject>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const char *const stateNames[] = {"Normal", "Over", "Down"};

// A shown (offscreen) container with one themed button. Redraw presents at once (no fade) and
// runs no hover animation, which has a benchmark of its own.
struct ThemedButton {
    ThemedButton()
    {
        container.setAttribute(Qt::WA_DontShowOnScreen);
        container.resize(200, 100);
        button = std::make_unique<TavloClick>(&container);
        button->setGeometry(10, 10, 120, 65);
        container.show();
        TavloClick::setPointerQuery([] { return nullptr; });
        button->setButtonTheme(4);
        button->setBorderStyle(3);
        button->setFade(false);
        button->setEnableEffects(false);
        button->setCaption(QStringLiteral("Convert"));
    }
    QWidget container;
    std::unique_ptr<TavloClick> button;
};

void Redraw(benchmark::State &state)
{
    const int style = int(state.range(0)), face = int(state.range(1));
    ThemedButton themed;
    TavloClick &button = *themed.button;
    button.setButtonStyleNormal(style);
    button.setButtonStyleOver(style);
    button.setButtonStyleDown(style);
    state.SetLabel(stateNames[face]);
    for (auto _ : state)
        button.Redraw(face);
}
BENCHMARK(Redraw)->ArgsProduct({benchmark::CreateDenseRange(0, 24, 1), {0, 1, 2}})->ArgNames({"style", "state"})
    ->Unit(benchmark::kMicrosecond);

// One tick of the cross-fade: pic blended onto pic2 and the frame shown with icon and caption.
void FadeTick(benchmark::State &state)
{
    ThemedButton themed;
    TavloClick &button = *themed.button;
    button.setFade(true);
    button.Redraw(1); // starts the fade
    auto *fadeClock = const_cast<QTimer *>(&button.tmrFade());
    for (auto _ : state)
        QMetaObject::invokeMethod(fadeClock, "timeout");
}
BENCHMARK(FadeTick)->Unit(benchmark::kMicrosecond);

// The whole hover animation of Effects 0: 21 frames.
void DrawEffect0(benchmark::State &state)
{
    ThemedButton themed;
    TavloClick &button = *themed.button;
    button.setEffects(0);
    for (auto _ : state)
        button.DrawEffect();
}
BENCHMARK(DrawEffect0)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
