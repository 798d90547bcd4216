// What an idle window costs while the pointer rests on a TavloClick: the process CPU time over
// wall time, as "cpu_percent" of one core (target: under 1). For comparison, the same window
// with the pointer elsewhere, and a bare 1 ms timer asking for the widget under the pointer on
// every tick (what a watch that never rests would cost at the least).
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise; the hover watch's
// pointer query is replaced so that the pointer is wherever the benchmark says.

#include "controls/button/TavloClick.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

constexpr int SecondsPerIteration = 2;

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void runEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop of an idle window and reports the share of a core it used.
void measureIdle(benchmark::State &state)
{
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        const double start = processCpuSeconds();
        clock.start();
        runEventLoop(SecondsPerIteration * 1000);
        const double seconds = double(clock.nsecsElapsed()) * 1e-9;
        cpu += processCpuSeconds() - start;
        wall += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
}

struct Window {
    Window()
    {
        form.resize(400, 200);
        button = new TavloClick(&form);
        button->setGeometry(20, 20, 120, 33);
        form.show();
    }
    ~Window() { TavloClick::setPointerQuery({}); }

    // The pointer comes onto the button the way the platform reports it, and the Over face and
    // its fade settle.
    void pointerOntoButton()
    {
        TavloClick::setPointerQuery([this] { return static_cast<QWidget *>(button); });
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(button, &move);
        runEventLoop(500);
    }

    QWidget form;
    TavloClick *button = nullptr;
};

void PointerRestingOnButton(benchmark::State &state)
{
    Window window;
    TavloClick::setPointerQuery([] { return static_cast<QWidget *>(nullptr); });
    runEventLoop(100);
    window.pointerOntoButton();
    if (window.button->runtime().MouseOutside || !window.button->OverTimer().isActive()) {
        state.SkipWithError("the pointer did not enter the button");
        return;
    }
    measureIdle(state);
}

void PointerElsewhere(benchmark::State &state)
{
    Window window;
    TavloClick::setPointerQuery([] { return static_cast<QWidget *>(nullptr); });
    runEventLoop(100);
    measureIdle(state);
}

void BareMillisecondPoll(benchmark::State &state)
{
    Window window;
    TavloClick::setPointerQuery([] { return static_cast<QWidget *>(nullptr); });
    QTimer poll;
    bool over = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        over = QApplication::widgetAt(QCursor::pos()) == window.button;
    });
    poll.start(1);
    measureIdle(state);
    benchmark::DoNotOptimize(over);
}

} // namespace

BENCHMARK(PointerRestingOnButton)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(PointerElsewhere)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BareMillisecondPoll)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

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
