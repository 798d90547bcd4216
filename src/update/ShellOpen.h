#pragma once

#include <QString>

// Asks the desktop to open a web address or document. Without a scheme, http is assumed, as a
// browser would.
void ShellOpen(const QString &address);
