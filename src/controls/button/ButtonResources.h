#pragma once

#include <QPoint>
#include <QString>

#include <cstdint>

// The resources the button carries itself (target button_resources), so that a program using it
// needs no resource bundle of its own for them.
namespace ButtonResources {

// Cursor resource 101: the 32 x 32 pointing hand. The hot spot is the tip of the index finger.
inline constexpr char HandCursor[] = ":/cursors/101";
inline constexpr QPoint HandCursorHotSpot{9, 0};

// The sound of type "CUSTOM" with that identifier, e.g. ":/CUSTOM/101".
QString soundResource(int16_t resourceId);

} // namespace ButtonResources
