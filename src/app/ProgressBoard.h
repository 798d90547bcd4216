#pragma once

#include <QList>
#include <QString>

#include <cstdio>
#include <utility>

// On a terminal: one line per running conversion at the bottom, redrawn in place with cursor
// movement; messages scroll above it. Each line is cut to the terminal's width, so that none
// wraps and the count of lines to go back over stays right.
class ProgressBoard {
public:
    explicit ProgressBoard(std::FILE *stream);
    ~ProgressBoard();

    // Adds or changes the line of a key; redraws only when the text changed.
    void setLine(qsizetype key, const QString &text);
    void removeLine(qsizetype key);
    // A line above the board.
    void print(const QString &line);
    // Around other output to the same terminal (stdout when it is one too).
    void hide();
    void show();

private:
    int width() const;

    std::FILE *m_stream;
    QList<std::pair<qsizetype, QString>> m_lines;
    qsizetype m_drawn = 0;
};
