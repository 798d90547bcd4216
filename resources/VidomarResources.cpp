#include "VidomarResources.h"

namespace VidomarResources {

QString iconFile(int size)
{
    return QStringLiteral("%1/%2.png").arg(QLatin1String(IconGroup)).arg(size);
}

QString artFile(const QString &name)
{
    return QStringLiteral(":/art/%1.png").arg(name);
}

} // namespace VidomarResources
