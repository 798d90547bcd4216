#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Names as the user reads them. A direction control (U+202E and its kin) reorders what follows it
// on screen, so that a name can pass for another (a U+202E before "4pm.exe" makes it read "exe.mp4"): a
// destination holding one is refused wherever a destination is taken (the window, its queue, the
// recovered queue and the command line), and every name shown spells such characters out.
namespace PathText {

// "U+202E" for the first direction control in the text, if any.
std::optional<QString> directionControl(const QString &text);
// Why the destination is refused, or nothing.
std::optional<QString> destinationProblem(const QString &destination);
// The text with direction controls and control characters written as "<U+202E>".
QString shown(const QString &text);
// The first `first` lines joined by separator, then "and N more" for the rest.
QString firstOf(const QStringList &lines, int first, const QString &separator);

} // namespace PathText
