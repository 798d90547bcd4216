#pragma once

#include <cstdint>
#include <vector>

class Surface;

// The straight constant-alpha blend of a whole source of the destination's size (AlphaBlend
// without stretching): per channel round((s·a + d·(255 − a)) / 255), the same pixels as
// Surface::alphaBlend. The cover is blended over the whole bar on every redraw and busy tick, so
// this works on the pixel arrays two channels at a time. sourceBits is the source's
// getDIBits(width, height).
void blendWhole(Surface &destination, const std::vector<uint32_t> &sourceBits, int width, int height,
                uint8_t alpha);
