#pragma once

#include <QImage>
#include <QRect>

// The Normal, Over and Down pictures of the picture buttons. Each face is painted over the
// background's own pixels at the button's place, so its rounded corners blend into the window
// although the picture itself is an opaque rectangle.
namespace ButtonFaces {

enum class State { Normal, Over, Down };

QImage browse(const QImage &background, const QRect &place, State state);
QImage convert(const QImage &background, const QRect &place, State state);
// Convert's face while a conversion runs.
QImage stop(const QImage &background, const QRect &place, State state);
// Pause and Resume beside the format box: Browse's face with their words.
QImage pause(const QImage &background, const QRect &place, State state);
QImage resume(const QImage &background, const QRect &place, State state);
// The arrows on the queue panel's number box: light triangles on a clear ground.
QImage spinArrow(bool up);
QImage minimise(const QImage &background, const QRect &place, State state);
QImage close(const QImage &background, const QRect &place, State state);

} // namespace ButtonFaces
