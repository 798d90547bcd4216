#include "controls/button/paint/FaceStyles.h"

#include "controls/button/paint/FacePrimitives.h"
#include "controls/button/paint/PaintMath.h"
#include "drawing/BitmapHelpers.h"
#include "drawing/BrightenedRectangles.h"
#include "drawing/Surface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace FaceStyles {

namespace {

using namespace FacePrimitives;
using Color::MixColors;
using Color::ShiftColor;
using PaintMath::arg;
using PaintMath::divide;

// from moved towards to by the fraction t of the way, per channel, clamped.
OleColor moveTowards(OleColor from, OleColor to, double t)
{
    const auto channel = [t](int a, int b) { return Color::ClampByte(arg(a + (b - a) * t)); };
    return Color::RGB(channel(Color::red(from), Color::red(to)), channel(Color::green(from), Color::green(to)),
                      channel(Color::blue(from), Color::blue(to)));
}

// One face being painted: the surface, the state's inputs and the derived sizes.
struct Face {
    Face(Surface &surface, const FaceInputs &inputs)
        : pic(surface), c1(inputs.c1), c2(inputs.c2), e1(inputs.e1), e2(inputs.e2), in(inputs),
          W(surface.width()), H(surface.height()), S(inputs.splitSize), split(H - H * S / 100),
          upper(H * S / 100)
    {
    }

    void gradient(double x1, double y1, double x2, double y2, OleColor from, OleColor to) const
    {
        GradientFill(pic, x1, y1, x2, y2, from, to, 1, in.blendSize);
    }
    void solid(OleColor colour) const { gradient(0, 0, W, H, colour, colour); }
    void four(double x, double y, double w, double h, OleColor tl, OleColor tr, OleColor bl, OleColor br) const
    {
        FourColorFill(pic, x, y, w, h, tl, tr, bl, br, in.blendSize);
    }
    void line(double x1, double y1, double x2, double y2, OleColor colour) const
    {
        PaintMath::axisLine(pic, arg(x1), arg(y1), arg(x2), arg(y2), colour);
    }
    void blend(double y, double h, double sourceY, double sourceH, double alpha) const
    {
        BlendCopy(pic, 0, y, W, h, pic, 0, sourceY, W, sourceH, alpha, 1);
    }
    // A reflection: the 2-pixel strip at 3H/4 added onto rows y(i) for i = 15 down to 1.
    template <class Row>
    void reflection(Row row) const
    {
        for (int i = 15; i >= 1; --i)
            blend(row(i), 2, 3 * H / 4, 2, 0.55 * (15 - i) * (15 - i));
    }
    void bottomReflection() const
    {
        reflection([this](int i) { return H - i; });
    }
    // The edge lines of styles 9 and 16.
    void bevelLines() const
    {
        line(3, 0, 3, H, ShiftColor(c1, 65));
        line(W - 3, 0, W - 3, H, ShiftColor(c1, 65));
        line(0, 2, W, 2, ShiftColor(c1, 142));
        line(0, H - 2, W, H - 2, c1);
    }
    // Style 7's halves; in the over and down states the extra colours are first averaged.
    void twoGradients() const
    {
        const OleColor top = in.state == 0 ? e1 : MixColors(c1, e1);
        const OleColor bottom = in.state == 0 ? e2 : MixColors(c2, e2);
        gradient(0, 0, W, upper, top, c1);
        gradient(0, upper, W, H, c2, bottom);
    }
    void brightBands(bool shrink) const;

    Surface &pic;
    const OleColor c1, c2, e1, e2;
    const FaceInputs &in;
    const double W, H, S;
    const double split; // H - H·S/100: the height of the lower part
    const double upper; // H·S/100: where the split line lies
};

// Styles 4 and 5: for i = 1 .. S/4 two rectangles at the top and bottom edges are brightened by
// S/4 - i. Every amount of 100 or more makes its rectangle white, and white stays white under
// later brightening, so only the last of those steps over the top rectangle, which contains the
// earlier ones, is needed; the bottom rectangle moves up one row per step and shows on the face
// only for a window of steps. The first and the last steps always run, so that an argument out
// of range fails as it would, and the surface keeps the last step's colour adjustment. The white
// steps that remain (style 5's narrowing top rectangles, the moving bottom ones) are painted as
// the spans of their union, the others (at most a hundred) row by row over runs of equal pixels.
void Face::brightBands(bool shrink) const
{
    const double b = in.borderSize;
    const double quarter = S / 4;
    const int64_t n = PaintMath::bound(quarter);
    if (n < 1)
        return;
    WhiteRectangles white(pic);
    BrightenedRectangles tinted(pic);
    const auto step = [&](int64_t i, bool top) {
        const double inset = shrink ? double(i) / 4 : 0;
        const double narrowing = shrink ? double(i) / 2 : 0;
        const int32_t amount = arg(quarter - double(i));
        const int32_t x = arg(b + inset), width = arg(W - 2 * b - narrowing);
        const int32_t height = arg(divide(H * double(i), S + 1));
        const auto brighten = [&](int32_t y) {
            if (amount >= 100) {
                tinted.paint();
                white.add(x, y, width, height);
            } else {
                white.paint();
                tinted.add(amount, x, y, width, height);
            }
        };
        if (top)
            brighten(arg(b));
        brighten(arg(H - b - double(i)));
    };
    // Steps before firstTinted have amounts of 100 or more.
    const int64_t firstTinted = std::clamp<int64_t>(int64_t(std::floor(quarter - 99.5)) + 1, 1, n + 1);
    // Beyond this step style 5's top rectangle spans the whole width, so it too grows in place.
    const int64_t lastChanging = shrink ? 4 * (int64_t(W) + int64_t(H) + 2) : 1;
    // The steps whose bottom rectangle can reach the face: its top row is H - b - i.
    const int64_t bottomFrom = PaintMath::clampedIndex(std::ceil(-b) - 2, 0, n + 1);
    const int64_t bottomTo = PaintMath::clampedIndex(std::floor(2 * H - b) + 2, 0, n + 1);
    std::vector<std::pair<int64_t, int64_t>> runs{
        {1, std::min(n, lastChanging)},
        {std::max<int64_t>(1, firstTinted - 1), n},
        {std::max<int64_t>(1, bottomFrom), std::min(n, bottomTo)},
    };
    std::sort(runs.begin(), runs.end());
    int64_t next = 1;
    try {
        for (const auto &[from, to] : runs) {
            for (int64_t i = std::max(from, next); i <= to; ++i)
                step(i, i <= lastChanging || i >= firstTinted - 1);
            next = std::max(next, to + 1);
        }
    } catch (...) {
        // A step that fails ends the face with the steps before it drawn.
        white.paint();
        tinted.paint();
        throw;
    }
    white.paint();
    tinted.paint();
}

void style0(const Face &f)
{
    f.solid(f.c1);
    const double b = f.in.borderSize;
    f.gradient(b, b, f.W - b, 3 * f.H / 5, f.c2, f.c1);
}

void style1(const Face &f)
{
    f.solid(f.c1);
    // Rings beyond the face's width plus height, and the pen's reach, touch no pixel.
    const int64_t limit = int64_t(f.W + f.H) + PaintMath::penReach(f.pic);
    for (int64_t i = std::min<int64_t>(f.S, limit); i >= 0; --i) {
        const OleColor colour = moveTowards(f.c2, f.c1, divide(double(i), f.S));
        const double d = double(i);
        f.line(d, d, d, f.H - d, colour);
        f.line(d, d, f.W - d, d, colour);
        f.line(f.W - d, d, f.W - d, f.H - d, colour);
        f.line(d, f.H - d, f.W + 1 - d, f.H - d, colour);
    }
}

void style2(const Face &f)
{
    f.gradient(0, 0, f.W, f.H, f.c1, f.c2);
    for (int i = 1; i <= 10; ++i)
        f.line(0, i + 1, f.W, i + 1, ShiftColor(f.c1, 30 - 3 * i));
    for (int i = 10; i >= 1; --i)
        f.line(0, f.H - 1 - i, f.W, f.H - 1 - i, ShiftColor(f.c1, 30 - 3 * i));
    const OleColor frame = MixColors(f.c1, f.e1);
    for (int i = 1; i <= 3; ++i)
        f.pic.box(i, i + 1, arg(f.W - i), arg(f.H - 1 - i), ShiftColor(frame, -(5 - i) * (5 - i)));
}

// Glass: light edges, a glow rising from the bottom centre, a reflection and random streaks.
void style3(const Face &f)
{
    const OleColor light = ShiftColor(f.c2, 100), mid = MixColors(f.c1, f.c2);
    f.gradient(0, 0, f.W, 10, light, mid);
    f.gradient(0, f.H - 10, f.W, f.H, mid, light);
    f.four(0, 10, f.W / 2, f.H - 20, f.c1, f.c1, f.c1, f.c2);
    f.four(f.W / 2, 10, f.W / 2, f.H - 20, f.c1, f.c1, f.c2, f.c1);
    f.bottomReflection();
    for (int i = 0; i <= 10; ++i) {
        const double r = PaintMath::random(), r2 = PaintMath::random();
        BlendCopy(f.pic, f.W * i / 10, 0, 5 * i, f.H, f.pic, 0, 0, 10, f.H, r * i * i / 5, 1);
        BlendCopy(f.pic, f.W - f.W * i / 10, 0, 5 * i, f.H, f.pic, f.W - 10, 0, 10, f.H, r2 * i * i / 5, 1);
    }
}

void style4(const Face &f)
{
    f.gradient(0, 0, f.W, f.H / 2, MixColors(f.c1, f.e1), f.c1);
    f.gradient(0, f.H / 2, f.W, f.H, f.c2, MixColors(f.c2, f.e2));
    f.brightBands(false);
}

void style5(const Face &f)
{
    f.gradient(0, 0, f.W, f.H, f.c1, f.c2);
    f.brightBands(true);
}

// A gloss of stacked rounded rectangles above the split line, from e1 to the face's own colour.
void style6(const Face &f)
{
    f.gradient(0, 0, f.W, f.H, f.c1, f.c2);
    // The colour is read inside the face: a point below it would read as "no colour".
    const int x = int(std::clamp<double>(arg(f.W / 2), 0, std::max(0.0, f.W - 1)));
    const int y = int(std::clamp<double>(arg(f.split + 13), 0, std::max(0.0, f.H - 1)));
    const OleColor target = MixColors(f.pic.pixel(x, y), f.e2);
    f.pic.setFillStyle(Surface::FillStyle::Solid);
    const int64_t last = std::min<int64_t>(PaintMath::bound(f.split), int64_t(f.H)); // lower ones start off the face
    const int32_t right = arg(f.W - 2), bottom = arg(f.split);
    const int32_t cornerWidth = arg(f.in.roundWidth), cornerHeight = arg(f.in.roundHeight);
    for (int64_t i = 1; i <= last; ++i) {
        const OleColor colour = moveTowards(f.e1, target, divide(double(i), f.split));
        f.pic.setForeColor(colour);
        f.pic.setFillColor(colour);
        f.pic.roundRect(2, int(i), right, bottom, cornerWidth, cornerHeight);
    }
    f.pic.setFillStyle(Surface::FillStyle::Transparent);
}

void style7(const Face &f) { f.twoGradients(); }

// A gloss whose outline follows a cosine and which fades downwards.
void style8(const Face &f)
{
    f.gradient(0, 0, f.W, f.H, f.c1, f.c2);
    const OleColor mid = MixColors(f.c1, f.c2);
    const int64_t last = PaintMath::bound(f.H / 3);
    for (int64_t i = 0; i <= last; ++i) {
        const double d = 18 - 10 * std::cos(divide(double(i) - f.H / 6, f.H / 6));
        f.line(d, double(i) + 5, f.W - d, double(i) + 5, ShiftColor(mid, arg(f.H + f.split - 4 * double(i))));
    }
}

void style9(const Face &f)
{
    f.gradient(0, 0, f.W, f.H, ShiftColor(f.c1, 142), f.c1);
    f.bevelLines();
}

void style10(const Face &f)
{
    const OleColor c1Light = ShiftColor(f.c1, 60), c2Light = ShiftColor(f.c2, 30);
    f.gradient(0, 0, f.W, f.upper, ShiftColor(f.c1, 100), f.c1);
    f.gradient(0, f.upper, f.W, f.H, f.c2, ShiftColor(f.c2, 60));
    f.four(0, 0, f.W / 2, f.split, c1Light, f.e1, f.c1, f.c1);
    f.four(f.W / 2, 0, f.W / 2, f.split, f.e1, c1Light, f.c1, f.c1);
    f.four(0, f.H - f.split / 2, f.W / 2, f.split / 2, c2Light, c2Light, ShiftColor(f.c2, 50), f.e2);
    f.four(f.W / 2, f.H - f.split / 2, f.W / 2, f.split / 2, c2Light, c2Light, f.e2, ShiftColor(f.c2, 50));
    f.bottomReflection();
}

void style11(const Face &f)
{
    f.gradient(0, 0, f.W, f.upper, ShiftColor(f.c2, 100), MixColors(f.c1, f.c2));
    f.four(0, f.upper, f.W / 2, f.split, f.c1, f.c1, f.c1, f.c2);
    f.four(f.W / 2, f.upper, f.W / 2, f.split, f.c1, f.c1, f.c2, f.c1);
    f.bottomReflection();
}

void style12(const Face &f) { f.gradient(0, 0, f.W, f.H, f.c1, f.c2); }

// Two mirrored halves, split across the width.
void style13(const Face &f)
{
    const double xs = f.W * f.S / 100;
    f.four(0, 0, xs, f.H, f.c1, f.c2, f.c1, f.c2);
    f.four(xs, 0, f.W - xs, f.H, f.c2, f.c1, f.c2, f.c1);
}

void style14(const Face &f)
{
    style13(f);
    const int64_t last = PaintMath::bound(f.H);
    for (int64_t p = 0; p <= last; ++p)
        f.blend(f.H - double(p), 2, 3 * f.H / 4, 2, divide(std::abs(double(p) - f.H / 2) * 155, f.H));
}

void style15(const Face &f)
{
    f.four(0, 0, f.W / 2, f.H, f.c1, f.c1, f.c1, f.c2);
    f.four(f.W / 2, 0, f.W / 2, f.H, f.c1, f.c1, f.c2, f.c1);
    // Rows below the face take nothing; the first row fails for an alpha above 255.
    const int64_t last = std::min<int64_t>(PaintMath::bound(f.split), int64_t(f.H));
    for (int64_t i = 1; i <= last; ++i)
        f.blend(double(i), 2, 1, 1, f.split + 100);
    f.reflection([](int i) { return double(i); });
}

void style16(const Face &f)
{
    const OleColor light = ShiftColor(f.c1, 142);
    f.gradient(0, 0, f.W, f.H, light, f.c1);
    GradientFill(f.pic, f.W / 2, 2, f.W, f.H, light, f.c1, 2, f.in.blendSize);
    f.bevelLines();
}

// Style 7 with darkened edge bands, deepest at the top.
void style17(const Face &f)
{
    f.twoGradients();
    for (int i = 0; i <= 12; ++i) {
        const double side = (6 - i / 2.0) * (6 - i / 2.0) / 4, top = (12 - i) * (12 - i) / 4.0;
        BrightenRect(f.pic, arg(-side), 0, arg(f.H - i), arg(f.W), i);
        BrightenRect(f.pic, arg(-side), 0, 0, i, arg(f.H));
        BrightenRect(f.pic, arg(-side), arg(f.W - i), 0, i, arg(f.H));
        BrightenRect(f.pic, arg(-top), 0, 0, arg(f.W), i);
    }
}

// A pyramid relief of four quadrants.
void style18(const Face &f)
{
    const auto up = [](OleColor c) { return ShiftColor(c, 50); };
    const auto down = [](OleColor c) { return ShiftColor(c, -50); };
    const OleColor c1 = f.c1, c2 = f.c2;
    const double half = f.W / 2;
    f.four(0, 0, half, f.upper, down(c2), down(c1), up(c1), up(c2));
    f.four(half, 0, half, f.upper, down(c1), down(c2), up(c2), up(c1));
    f.four(0, f.upper, half, f.split, up(c1), up(c2), down(c2), down(c1));
    f.four(half, f.upper, half, f.split, up(c2), up(c1), down(c1), down(c2));
}

void style19(const Face &f)
{
    f.gradient(0, 0, f.W, f.upper, f.e1, f.c1);
    f.gradient(0, f.upper, f.W, f.H, f.c2, f.e2);
    f.line(0, f.upper - 1, f.W, f.upper - 1, Color::ShiftColorRGB(f.c1, -23, -17, -9));
}

void style20(const Face &f) { f.four(0, 0, f.W, f.H, f.e1, f.c1, f.c2, f.e2); }

template <int Type>
void patterned(const Face &f)
{
    GradientFill(f.pic, 0, 0, f.W, f.H, f.c1, f.c2, Type, f.in.blendSize);
}

using Style = void (*)(const Face &);
constexpr std::array<Style, StyleCount> Styles{
    style0,  style1,  style2,  style3,  style4,  style5,  style6,  style7,  style8,
    style9,  style10, style11, style12, style13, style14, style15, style16, style17,
    style18, style19, style20, patterned<3>, patterned<4>, patterned<5>, patterned<6>,
};

} // namespace

FaceInputs faceInputs(const ButtonProperties &p, int state)
{
    FaceInputs in;
    in.state = state;
    const bool over = state == 1, down = state == 2;
    in.style = over ? p.buttonStyleOver : (down ? p.buttonStyleDown : p.buttonStyleNormal);
    in.c1 = Color::TranslateColor(over ? p.buttonColorOver1 : (down ? p.buttonColorDown1 : p.buttonColorNormal1));
    in.c2 = Color::TranslateColor(over ? p.buttonColorOver2 : (down ? p.buttonColorDown2 : p.buttonColorNormal2));
    in.e1 = Color::TranslateColor(p.buttonColorExtra1);
    in.e2 = Color::TranslateColor(p.buttonColorExtra2);
    in.splitSize = p.buttonColorSplitSize;
    in.blendSize = p.buttonColorBlendSize;
    in.borderSize = p.borderSize;
    in.roundWidth = p.roundWidth;
    in.roundHeight = p.roundHeight;
    in.maskColor = p.maskColor;
    return in;
}

void PaintFace(Surface &pic, const FaceInputs &inputs)
{
    pic.filledBox(0, 0, pic.width(), pic.height(), inputs.maskColor);
    if (inputs.style >= 0 && inputs.style < StyleCount)
        Styles[size_t(inputs.style)](Face(pic, inputs));
}

} // namespace FaceStyles
