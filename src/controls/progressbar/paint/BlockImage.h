#pragma once

#include <cstdint>

class Surface;
struct ProBarProperties;

// Builds the image of one block on picBlock for the bar's mode and block style: linear or
// concentric shading around BlockMid, outlines in BlockColor2, or BlockPicture. Throws the
// first RuntimeError of a failing step after finishing the steps that can still run; a BlockSize
// above 32767 is an invalid property value and leaves the image empty.
void BuildBlockImage(Surface &picBlock, const ProBarProperties &properties, float W, int32_t H);
