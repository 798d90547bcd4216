#include "update/WebAddresses.h"

#include <QtGlobal>

namespace WebAddresses {

namespace {

QString fromEnvironment(const char *name, const char *fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? QString::fromLatin1(fallback) : value;
}

} // namespace

QString homePage() { return fromEnvironment("VIDOMAR_HOME_PAGE", "https://www.zorvik.example/"); }

QString productPage()
{
    return fromEnvironment("VIDOMAR_PRODUCT_PAGE", "https://www.zorvik.example/converters/vidomar.html");
}

QString updateHost() { return fromEnvironment("VIDOMAR_UPDATE_HOST", "update.zorvik.example"); }

QString updateQuery()
{
    return updateHost() + QLatin1String("/converters/updates/check.php?Ver=") + QLatin1String(Version)
        + QLatin1String("&Product=") + QLatin1String(Product);
}

} // namespace WebAddresses
