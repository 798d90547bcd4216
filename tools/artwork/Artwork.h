#pragma once

#include <QImage>
#include <QMap>
#include <QString>

// Every picture of the program, by its path below the resources folder
// ("art/background.png", "icons/aaa-48.png", "cursors/hand.png", ...).
using Artwork = QMap<QString, QImage>;

Artwork paintArtwork();
