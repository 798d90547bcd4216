#pragma once

#include <QString>

class Stage;

// Contact sheets of TavloClick: the face styles in each state with the built-in theme and with a
// second palette, shapes × border styles, shadows, arrows, textures, tints, alpha, icons,
// captions, hover effects, and the main window with its buttons.
void writeButtonSheets(Stage &stage, const QString &folder);
