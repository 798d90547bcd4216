#pragma once

#include <QString>

#include <array>

// Paths of the program's built-in resources; link the target vidomar_resources to get them.
namespace VidomarResources {

// Icon group "AAA": one PNG per size under one prefix, e.g. ":/icons/AAA/48.png".
inline constexpr char IconGroup[] = ":/icons/AAA";
inline constexpr std::array<int, 4> IconSizes{16, 32, 48, 256};
QString iconFile(int size);

// Window artwork, ":/art/<name>.png": "background", "browse-normal", "probar-cover", ...
QString artFile(const QString &name);

} // namespace VidomarResources
