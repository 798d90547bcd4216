#include "drawing/BrightenedRectangles.h"

#include "drawing/PixelOps.h"
#include "drawing/Surface.h"

#include <algorithm>
#include <array>
#include <climits>
#include <utility>

namespace {

// An extent as the blits take it: a negative one runs back from the origin, covering
// origin + extent + 1 .. origin. Clipped to 0..limit; empty spans have from >= to.
std::pair<int, int> clippedSpan(int32_t origin, int32_t extent, int limit)
{
    int64_t from = origin, size = extent;
    if (size < 0) {
        from = std::clamp<int64_t>(from + size + 1, INT32_MIN, INT32_MAX);
        size = -size;
    }
    return {int(std::clamp<int64_t>(from, 0, limit)), int(std::clamp<int64_t>(from + size, 0, limit))};
}

// How often each column is covered, with the covered length of each subtree, so that the covered
// runs of a row come out in time proportional to their number (the area-of-union segment tree).
class CoverTree {
public:
    explicit CoverTree(int size)
        : m_size(size), m_count(size_t(4) * size_t(std::max(size, 1))), m_covered(m_count.size())
    {
    }

    void add(int from, int to, int delta) { add(1, 0, m_size, from, to, delta); }

    // The covered runs, left to right, adjacent ones joined.
    void runs(std::vector<std::pair<int, int>> &out) const
    {
        out.clear();
        collect(1, 0, m_size, out);
    }

private:
    void add(size_t node, int low, int high, int from, int to, int delta)
    {
        if (to <= low || high <= from)
            return;
        if (from <= low && high <= to) {
            m_count[node] += delta;
        } else {
            const int middle = low + (high - low) / 2;
            add(2 * node, low, middle, from, to, delta);
            add(2 * node + 1, middle, high, from, to, delta);
        }
        if (m_count[node] > 0)
            m_covered[node] = high - low;
        else
            m_covered[node] = high - low == 1 ? 0 : m_covered[2 * node] + m_covered[2 * node + 1];
    }

    void collect(size_t node, int low, int high, std::vector<std::pair<int, int>> &out) const
    {
        if (m_covered[node] == 0)
            return;
        if (m_covered[node] == high - low) {
            if (!out.empty() && out.back().second == low)
                out.back().second = high;
            else
                out.emplace_back(low, high);
            return;
        }
        const int middle = low + (high - low) / 2;
        collect(2 * node, low, middle, out);
        collect(2 * node + 1, middle, high, out);
    }

    int m_size;
    std::vector<int> m_count;
    std::vector<int> m_covered;
};

} // namespace

void WhiteRectangles::add(int32_t x, int32_t y, int32_t width, int32_t height)
{
    m_pending = true;
    if (width == 0 || height == 0)
        return;
    const auto [left, right] = clippedSpan(x, width, m_target.width());
    const auto [top, bottom] = clippedSpan(y, height, m_target.height());
    if (left < right && top < bottom)
        m_rectangles.push_back({{left, right}, {top, bottom}});
}

void WhiteRectangles::paint()
{
    if (!m_pending)
        return;
    // A sweep down the rows: each rectangle enters the cover at its top row and leaves below its
    // bottom one; between two such rows the covered runs stay the same.
    struct Event {
        int row;
        int delta;
        Span columns;
    };
    std::vector<Event> events;
    events.reserve(2 * m_rectangles.size());
    for (const Rectangle &r : m_rectangles) {
        events.push_back({r.rows.from, 1, r.columns});
        events.push_back({r.rows.to, -1, r.columns});
    }
    std::sort(events.begin(), events.end(), [](const Event &a, const Event &b) { return a.row < b.row; });
    CoverTree cover(m_target.width());
    std::vector<std::pair<int, int>> runs;
    for (size_t e = 0; e < events.size();) {
        const int row = events[e].row;
        for (; e < events.size() && events[e].row == row; ++e)
            cover.add(events[e].columns.from, events[e].columns.to, events[e].delta);
        if (e == events.size())
            break;
        cover.runs(runs);
        for (const auto &[from, to] : runs)
            m_target.filledBox(from, row, to - 1, events[e].row - 1, 0xFFFFFF);
    }
    m_rectangles.clear();
    m_pending = false;
    m_target.setStretchMode(Surface::StretchMode::Halftone);
    m_target.setBrightnessAdjustment(100);
}

void BrightenedRectangles::add(int32_t amount, int32_t x, int32_t y, int32_t width, int32_t height)
{
    m_pending = true;
    m_lastAmount = std::clamp(amount, -100, 100);
    if (width == 0 || height == 0 || m_lastAmount == 0)
        return;
    const auto [left, right] = clippedSpan(x, width, m_target.width());
    const auto [top, bottom] = clippedSpan(y, height, m_target.height());
    if (left < right && top < bottom)
        m_steps.push_back({m_lastAmount, left, right, top, bottom});
}

void BrightenedRectangles::paint()
{
    if (!m_pending)
        return;
    std::vector<std::array<uint8_t, 256>> tables;
    tables.reserve(m_steps.size());
    int firstRow = INT_MAX, lastRow = INT_MIN;
    for (const Step &step : m_steps) {
        tables.push_back(PixelOps::brightnessTable(step.amount));
        firstRow = std::min(firstRow, step.top);
        lastRow = std::max(lastRow, step.bottom);
    }
    // A run of equal pixels from its first column to the next run's.
    struct Run {
        int from;
        OleColor colour;
        bool changed;
    };
    std::vector<Run> runs, next;
    std::vector<size_t> active;
    for (int row = firstRow; row < lastRow; ++row) {
        active.clear();
        int from = INT_MAX, to = INT_MIN;
        for (size_t k = 0; k < m_steps.size(); ++k) {
            if (m_steps[k].top <= row && row < m_steps[k].bottom) {
                active.push_back(k);
                from = std::min(from, m_steps[k].left);
                to = std::max(to, m_steps[k].right);
            }
        }
        if (active.empty())
            continue;
        runs.clear();
        for (int x = from; x < to; ++x) {
            const OleColor colour = m_target.pixel(x, row);
            if (runs.empty() || runs.back().colour != colour)
                runs.push_back({x, colour, false});
        }
        for (size_t k : active) {
            const Step &step = m_steps[k];
            const uint8_t *table = tables[k].data();
            next.clear();
            for (size_t r = 0; r < runs.size(); ++r) {
                const Run &run = runs[r];
                const int end = r + 1 < runs.size() ? runs[r + 1].from : to;
                // The run is split where the step's rectangle begins and ends.
                const int inFrom = std::max(run.from, step.left), inTo = std::min(end, step.right);
                if (inFrom >= inTo) {
                    next.push_back(run);
                    continue;
                }
                if (run.from < inFrom)
                    next.push_back({run.from, run.colour, run.changed});
                next.push_back({inFrom,
                                Color::RGB(table[Color::red(run.colour)], table[Color::green(run.colour)],
                                           table[Color::blue(run.colour)]),
                                true});
                if (inTo < end)
                    next.push_back({inTo, run.colour, run.changed});
            }
            std::swap(runs, next);
        }
        for (size_t r = 0; r < runs.size(); ++r) {
            if (runs[r].changed)
                m_target.filledBox(runs[r].from, row, (r + 1 < runs.size() ? runs[r + 1].from : to) - 1, row,
                                   runs[r].colour);
        }
    }
    m_steps.clear();
    m_pending = false;
    m_target.setStretchMode(Surface::StretchMode::Halftone);
    m_target.setBrightnessAdjustment(m_lastAmount);
}
