#pragma once

#include <QString>

// A span of time as a clock shows it, in whole seconds: "1:20", and "1:02:03" from an hour.
QString clockText(qint64 ms);
