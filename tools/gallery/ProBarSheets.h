#pragma once

#include <QString>

class Stage;

// Contact sheets of TavloProBar: every bar mode and block style, with busy frames.
void writeProBarSheets(Stage &stage, const QString &folder);
