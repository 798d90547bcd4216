#include "controls/progressbar/paint/BlockImage.h"

#include "common/Rounding.h"
#include "common/RuntimeError.h"
#include "common/StepGuard.h"
#include "controls/progressbar/paint/ProBarArithmetic.h"
#include "controls/progressbar/model/ProBarProperties.h"
#include "drawing/Surface.h"

#include <cmath>
#include <cstdlib>

namespace {

// The longest block image a bar builds. Longer blocks show no more than the bar's length, but
// building them took gigabytes and many seconds; they are refused like a bitmap the platform
// could not create.
constexpr int32_t MaxBlockLength = 32767;

using ProBarArithmetic::divide;
using ProBarArithmetic::shadeColour;

bool horizontal(int32_t mode) { return mode == 0 || mode == 2; }
bool vertical(int32_t mode) { return mode == 1 || mode == 3; }
int32_t round32(double v) { return Rounding::toLong(v); }

void shadeLinear(Surface &block, const ProBarProperties &p, float W, int32_t H)
{
    if (horizontal(p.barMode)) {
        block.resize(p.blockSize, std::abs(H - 1));
        const double c = divide(H, p.blockMid + 1.0) * 10;
        for (int32_t y = 0; y <= H; ++y)
            block.line(0, y, p.blockSize, y, shadeColour(p.blockColor1, c, y, H, p.blockDepth, p.blockFeather));
    } else {
        block.resize(round32(std::fabs(W - 1.0f)), p.blockSize);
        const double c = divide(W, p.blockMid + 1.0) * 10;
        for (int32_t x = 0; x <= W; ++x)
            block.line(x, 0, x, p.blockSize, shadeColour(p.blockColor1, c, x, W, p.blockDepth, p.blockFeather));
    }
}

// Filled rings inset by (r - ring) / 2, the outermost first, shaded by their distance from the
// centre r / (BlockMid + 1).
void shadeConcentric(Surface &block, const ProBarProperties &p, float W, int32_t H)
{
    if (horizontal(p.barMode))
        block.resize(p.blockSize, std::abs(H - 6));
    else
        block.resize(round32(std::fabs(W - 6.0f)), p.blockSize);
    const int32_t SW = block.width();
    const int32_t SH = block.height();
    const int32_t r = SW < SH ? SW : SH;
    const double c = divide(r, p.blockMid + 1.0);
    for (int32_t ring = r; ring >= 0; --ring) {
        const int32_t colour = shadeColour(p.blockColor1, c, ring, r, p.blockDepth, p.blockFeather);
        const double inset = (r - ring) / 2.0;
        block.setForeColor(colour);
        block.setFillColor(colour);
        block.setFillStyle(Surface::FillStyle::Solid);
        block.roundRect(round32(inset), round32(inset), round32(SW - inset), round32(SH - inset),
                        p.blockRoundW, p.blockRoundH);
        block.setFillStyle(Surface::FillStyle::Transparent);
    }
}

void drawExtras(Surface &block, const ProBarProperties &p)
{
    const int32_t SW = block.width();
    const int32_t SH = block.height();
    switch (p.blockStyle) {
    case 2:
        block.box(0, 0, SW, SH, p.blockColor2);
        break;
    case 3:
        // Encloses exactly the part of the image the progress modes copy.
        block.box(0, 0, SW - 1, SH - 7, p.blockColor2);
        break;
    case 4:
        block.setForeColor(p.blockColor2);
        block.roundRect(0, 0, SW, SH - 1, p.blockRoundW, p.blockRoundH);
        break;
    case 5: {
        if (p.blockPicture.isNothing())
            break;
        // The picture fills the part the modes copy: shortened across the bar in the vertical
        // modes too, where shortening its length would leave no room for it.
        const bool painted = vertical(p.barMode) ? block.paintPicture(p.blockPicture.image(), 0, 0, SW - 7, SH)
                                                 : block.paintPicture(p.blockPicture.image(), 0, 0, SW, SH - 7);
        if (!painted)
            throw RuntimeError(481, QStringLiteral("Invalid picture"));
        break;
    }
    default:
        break;
    }
}

} // namespace

void BuildBlockImage(Surface &picBlock, const ProBarProperties &p, float W, int32_t H)
{
    StepGuard steps("BuildBlockImage");
    picBlock.clear();
    if (horizontal(p.barMode) || vertical(p.barMode)) {
        steps.run([&] {
            if (p.blockSize > MaxBlockLength) {
                picBlock.resize(0, 0);
                throw RuntimeError::invalidPropertyValue();
            }
            switch (p.blockStyle) {
            case 0:
            case 2:
            case 3:
                shadeLinear(picBlock, p, W, H);
                break;
            case 1:
            case 4:
                shadeConcentric(picBlock, p, W, H);
                break;
            case 5:
                if (horizontal(p.barMode))
                    picBlock.resize(p.blockSize, std::abs(H - 1));
                else
                    picBlock.resize(round32(std::fabs(W - 1.0f)), p.blockSize);
                break;
            default:
                break;
            }
        });
    }
    steps.run([&] { drawExtras(picBlock, p); });
    steps.rethrowFirst();
}
