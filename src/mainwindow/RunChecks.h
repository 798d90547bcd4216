#pragma once

#include <QString>

// What stops the file in the fields from converting, said in a box before anything runs rather
// than as a run that shows its progress and then fails: a source that is not there or cannot be
// read, a destination the encoder cannot write. Each names the file. Empty when nothing does.
QString refusalBeforeRun(const QString &source, const QString &preset, const QString &destination);
