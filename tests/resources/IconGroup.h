#pragma once

#include <QIcon>

// The application icon built from every size of the icon group, as the window sets it. It lives
// in a static library of its own so the test links the resources the way the program does.
namespace IconGroup {

QIcon icon();

} // namespace IconGroup
