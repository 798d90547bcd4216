#include "drawing/BitmapHelpers.h"
#include "drawing/Color.h"
#include "drawing/LineGS.h"
#include "drawing/Surface.h"

#include <benchmark/benchmark.h>

// The drawing steps of one button repaint, each on a button-sized surface; a repaint should
// stay far inside a frame, so each step is expected well under 20 µs at 120 × 65.

namespace {

Surface gradient(int width, int height)
{
    Surface s(width, height);
    for (int y = 0; y < height; ++y)
        s.line(0, y, width, y, Color::RGB(40 + y, 90, 200 - y));
    return s;
}

void drawSmoothRoundRect(benchmark::State &state)
{
    const int width = int(state.range(0)), height = int(state.range(1));
    Surface picture(width, height);
    for (auto _ : state) {
        DrawSmoothRoundRect(picture, 0, 0, width, height, 500, 500, 0xFFFFFF, true);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(drawSmoothRoundRect)->Args({120, 65})->Args({386, 32})->Unit(benchmark::kMicrosecond);

// The same with a shape that changes on every call, so that no arc is replayed from the cache
// of recent arcs (a first paint, or a resize).
void drawSmoothRoundRectFirstTime(benchmark::State &state)
{
    const int width = int(state.range(0)), height = int(state.range(1));
    Surface picture(width, height);
    int call = 0;
    for (auto _ : state) {
        DrawSmoothRoundRect(picture, 0, 0, width - (call++ % 40), height, 500, 500, 0xFFFFFF, true);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(drawSmoothRoundRectFirstTime)->Args({120, 65})->Args({386, 32})->Unit(benchmark::kMicrosecond);

void lineDIB1000(benchmark::State &state)
{
    Surface picture(120, 65);
    for (auto _ : state) {
        LineGS g;
        g.DIB(picture, 130, 75);
        for (int i = 0; i < 1000; ++i) {
            const auto x1 = int16_t(i * 7 % 120), y1 = int16_t(i * 13 % 65);
            const auto x2 = int16_t((i * 29 + 40) % 120), y2 = int16_t((i * 11 + 20) % 65);
            g.LineDIB(x1, y1, x2, y2, 0x3264C8);
        }
        g.Array2Pic();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(lineDIB1000)->Unit(benchmark::kMicrosecond);

// HALFTONE onto the same size (the button's presentation copy) and a 2:1 reduction.
void stretchBltHalftone(benchmark::State &state)
{
    const int factor = int(state.range(0));
    const Surface source = gradient(120 * factor, 65 * factor);
    Surface target(120, 65);
    target.setStretchMode(Surface::StretchMode::Halftone);
    target.setBrightnessAdjustment(int(state.range(1)));
    for (auto _ : state) {
        target.stretchBlt(0, 0, 120, 65, source, 0, 0, source.width(), source.height());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(stretchBltHalftone)->Args({1, 0})->Args({1, 30})->Args({2, 30})->Unit(benchmark::kMicrosecond);

void alphaBlend(benchmark::State &state)
{
    const Surface source = gradient(120, 65);
    Surface target(120, 65, 0x808080);
    const auto format = Surface::AlphaFormat(state.range(0));
    for (auto _ : state) {
        target.alphaBlend(0, 0, 120, 65, source, 0, 0, 120, 65, 100, format);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(alphaBlend)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void tintPicture(benchmark::State &state)
{
    Surface picture = gradient(120, 65);
    for (auto _ : state) {
        Color::TintPicture(picture, int(state.range(0)), int(state.range(1)), int(state.range(2)));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(tintPicture)->Args({0, 0, 0})->Args({10, 20, -100})->Args({-5, 40, 30})->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
