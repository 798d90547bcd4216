#include "IconGroup.h"

#include "VidomarResources.h"

namespace IconGroup {

QIcon icon()
{
    QIcon icon;
    for (const int size : VidomarResources::IconSizes)
        icon.addFile(VidomarResources::iconFile(size), QSize(size, size));
    return icon;
}

} // namespace IconGroup
