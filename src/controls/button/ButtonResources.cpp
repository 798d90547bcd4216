#include "controls/button/ButtonResources.h"

namespace ButtonResources {

QString soundResource(int16_t resourceId)
{
    return QStringLiteral(":/CUSTOM/%1").arg(resourceId);
}

} // namespace ButtonResources
