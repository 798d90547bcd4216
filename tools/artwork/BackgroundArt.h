#pragma once

#include <QImage>

// The window's whole look at 550 x 400: frame, title strip, logo and product name, the labels
// of the three rows above their controls, recessed beds for the text boxes, the combo box and
// the progress bar, and soft shadows under the picture buttons.
namespace BackgroundArt {

QImage paint();

} // namespace BackgroundArt
