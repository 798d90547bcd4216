#pragma once

#include <QPoint>
#include <QString>

#include <array>

// Paths of the program's built-in resources; link the target vidomar_resources to get them.
namespace VidomarResources {

// Icon group "AAA": one PNG per size under one prefix, e.g. ":/icons/AAA/48.png".
inline constexpr char IconGroup[] = ":/icons/AAA";
inline constexpr std::array<int, 4> IconSizes{16, 32, 48, 256};
QString iconFile(int size);

// Cursor resource 101: the 32 x 32 pointing hand. The hot spot is the tip of the index finger.
inline constexpr char HandCursor[] = ":/cursors/101";
inline constexpr QPoint HandCursorHotSpot{9, 0};

// Window artwork, ":/art/<name>.png": "background", "browse-normal", "probar-cover", ...
QString artFile(const QString &name);

} // namespace VidomarResources
