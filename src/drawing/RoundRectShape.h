#pragma once

#include <cstdint>

// Coverage of the platform-style rounded rectangle, the same at every call:
// the figure spans columns left..right-1 and rows top..bottom-1 (reversed corners are swapped);
// the corner ellipse is cornerWidth × cornerHeight, each limited to the figure's width and
// height; pixel (x, y) is inside when its centre (x + ½, y + ½), measured from the nearest corner
// ellipse centre as (ex, ey) (0 along the straight parts), satisfies (ex/a)² + (ey/b)² ≤ 1 with
// a, b the half corner sizes, evaluated exactly in integers (a or b = 0: square corners).
// A pen of width w covers the inside pixels that are not inside the figure inset by w on each
// side with corner ellipses smaller by 2w (the pen stays inside the figure); the brush fills
// every inside pixel. Each row's inside pixels are one run, symmetric about the centre column.
class RoundRectShape {
public:
    RoundRectShape(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);

    bool isEmpty() const { return m_right <= m_left || m_bottom <= m_top; }
    int top() const { return int(m_top); }
    int bottom() const { return int(m_bottom); } // exclusive

    // The inside run of row y as [first, last]; false when the row has no inside pixel.
    bool span(int y, int &first, int &last) const;

    // The figure inset by a pen of the given width.
    RoundRectShape inset(int width) const;

private:
    RoundRectShape() = default;

    // Edges in pixels (right and bottom exclusive), clamped to ±2^28 so that the exact
    // arithmetic fits; corner sizes are the doubled half-axes 2a and 2b.
    int64_t m_left = 0, m_top = 0, m_right = 0, m_bottom = 0;
    int64_t m_cornerWidth = 0, m_cornerHeight = 0;
};
