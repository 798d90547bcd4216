#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QSize>
#include <QString>

// What ffprobe reads in a file.
struct Probe {
    QString error; // why ffprobe could not read it; empty when it could
    QJsonObject format;
    QJsonObject video; // the last video stream, empty when there is none
    QJsonObject audio; // the last audio stream, empty when there is none
    int streams = 0;
    int videoStreams = 0;
    int audioStreams = 0;
    QJsonArray packets; // only when asked for

    double seconds() const;
    // ffprobe's format name; "mov/<brand>" for the QuickTime family.
    QString container() const;
    QString videoCodec() const;
    QSize size() const;
    QString audioCodec() const;
};

Probe probe(const QString &path, bool withPackets = false);
