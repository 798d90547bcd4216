#pragma once

#include "common/Picture.h"

#include <QCursor>

// The button's default pointer: the program's cursor resource 101, a 32 × 32 pointing hand.
namespace HandCursor {

// The one hand picture of the process (the same object each time), loaded from the resource
// path, so that a property bag stores it by that path.
Picture picture();

// The pointer shown for a MouseIcon picture: the hand with its fingertip as the hot spot, any
// other picture with its centre; no image gives the platform's arrow.
QCursor cursorFor(const Picture &mouseIcon);

} // namespace HandCursor
