#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

// What the display tests read off the window and the files: where the stored form puts a
// control, how full the bar looks, and what ffprobe finds in a finished file.

// Where the stored form puts a control, in pixels of the window (twips / 15).
QRect controlRect(const QString &name);

// The share of the bar's pixels that its orange blocks cover.
double blockShare(const QImage &screen, const QRect &bar);

struct Run {
    int exitCode = -1;
    QByteArray output;
};

// Runs a program to its end (at most a minute), its channels merged.
Run run(const QString &program, const QStringList &arguments);

// What ffprobe reads in a finished file.
struct Probe {
    QString error;
    double seconds = 0;
    QString video;
    QSize size;
    QString audio;
};

Probe probe(const QString &path);
