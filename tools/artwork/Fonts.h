#pragma once

#include <QFont>
#include <QString>

// The two families the artwork is set in, loaded from the Debian font packages.
namespace Fonts {

// Checks that both families resolve to their own files; the message names the missing one.
bool ensureAvailable(QString *error);

// Screen text (labels, buttons): DejaVu Sans, fully hinted so small sizes stay crisp.
QFont ui(int pixelSize, bool bold = false);

// Display text (the product name): Liberation Sans.
QFont display(int pixelSize, bool bold = true);

} // namespace Fonts
