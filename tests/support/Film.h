#pragma once

#include <QDateTime>
#include <QString>

// A 24 s film made by ffmpeg for the options' tests, in Matroska: a test picture (320 x 240,
// H.264, a keyframe each second), two sound tracks (440 Hz "eng" "Main", the default; 880 Hz
// "deu" "Commentary"), two text subtitle tracks ("eng"; "fra" "Forced French", forced) shown from
// 1 s to 19 s, three chapters of 8 s, the title "Test Film" and the date 2019-06-30, which is also
// the file's modification time.
namespace Film {

inline const QDateTime Date{QDate(2019, 6, 30), QTime(12, 0), Qt::UTC};
constexpr int Seconds = 24;

// Writes the film to the path (its subtitle and metadata inputs beside it); returns what went
// wrong, if anything.
QString make(const QString &path);

} // namespace Film
