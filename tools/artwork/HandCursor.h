#pragma once

#include <QImage>

// The 32 x 32 pointing hand: white with a black outline, its index fingertip on the hot spot
// named in VidomarResources.h.
namespace HandCursor {

QImage paint();

} // namespace HandCursor
