#pragma once

#include <cstdint>
#include <vector>

class Surface;

// Runs of BrightenRect steps on one surface, painted together with the same pixels as step by
// step, in time that grows with the surface rather than with the number of steps.

// Brightening steps of amount 100 or more: each turns its rectangle white whatever was there, so a
// run of them is their union painted white once, span by span, rather than every rectangle pixel
// by pixel (a large button face has tens of thousands of such steps). Rectangles take BrightenRect's
// arguments, negative extents included. paint() leaves the stretch mode and colour adjustment as
// the last step would; call it before any other drawing on the surface.
class WhiteRectangles {
public:
    explicit WhiteRectangles(Surface &target) : m_target(target) {}
    void add(int32_t x, int32_t y, int32_t width, int32_t height);
    void paint();

private:
    struct Span {
        int from;
        int to; // half-open, within the surface
    };
    struct Rectangle {
        Span columns;
        Span rows;
    };

    Surface &m_target;
    std::vector<Rectangle> m_rectangles;
    bool m_pending = false;
};

// Brightening steps of any amount, applied in order when painted, row by row: each row is taken
// as runs of equal pixels, the steps' tables are applied to the runs, and the row is written
// once. A face's rows hold few runs (gradients, bands), so a hundred steps over a large face cost
// little more than one. The same pixels as BrightenRect step by step; paint() leaves the stretch
// mode and colour adjustment as the last step would.
class BrightenedRectangles {
public:
    explicit BrightenedRectangles(Surface &target) : m_target(target) {}
    void add(int32_t amount, int32_t x, int32_t y, int32_t width, int32_t height);
    void paint();

private:
    struct Step {
        int amount;
        int left, right, top, bottom; // half-open, within the surface
    };

    Surface &m_target;
    std::vector<Step> m_steps;
    bool m_pending = false;
    int m_lastAmount = 0;
};
