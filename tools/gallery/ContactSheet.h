#pragma once

#include <QImage>
#include <QString>

#include <vector>

// A page of labelled pictures in rows, written as one PNG.
class ContactSheet {
public:
    ContactSheet(QString title, int columns);

    void add(const QString &label, const QImage &picture);
    // Writes <folder>/<name>.png; false when it cannot be written.
    bool save(const QString &folder, const QString &name) const;

private:
    struct Cell {
        QString label;
        QImage picture;
    };
    QString m_title;
    int m_columns;
    std::vector<Cell> m_cells;
};
