#pragma once

#include <QString>

// The maker's addresses, in one place. The defaults live under a reserved example domain; the
// environment overrides them (VIDOMAR_HOME_PAGE, VIDOMAR_PRODUCT_PAGE, VIDOMAR_UPDATE_HOST), so
// tests can point them at a server on 127.0.0.1.
namespace WebAddresses {

QString homePage();
QString productPage();
// The update host, without a scheme: "host" or "host:port".
QString updateHost();

// The update query: host, path and the two keys, the product name unescaped as it is sent.
QString updateQuery();

inline constexpr const char *Version = "1.0";
inline constexpr const char *Product = "Zorvik Vidomar";

} // namespace WebAddresses
