#pragma once

#include "Artwork.h"

#include <QString>

// Review pictures, not shipped: the window as it will look (faces pasted at their places, a
// stand-in progress bar at 50 %, sample text in the fields) and a sheet of every face, the
// cursor and the icons, enlarged.
namespace Preview {

bool write(const Artwork &art, const QString &folder, QString *error);

} // namespace Preview
