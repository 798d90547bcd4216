#pragma once

#include "workflow/QueueList.h"

#include <QAbstractTableModel>

// The queue list as a table for a view: one row an item, columns for its source, destination,
// preset and state. Beside the display text each row gives its state, percent and reason, and
// the whole row as one line for screen readers. Rows follow the list: a tick changes one row, Up
// and Down move one.
class QueueModel : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY(QueueModel)

public:
    enum Column { Source, Destination, Preset, State, ColumnCount };
    enum Role { StateRole = Qt::UserRole + 1, PercentRole, ReasonRole };

    explicit QueueModel(QueueList &list, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // "a.avi → a.mp4 · iPOD Video (320x240) MPEG4 · Converting 42 %"
    static QString rowText(const QueueItem &item);

private:
    void rowChanged(qsizetype row);

    QueueList &m_list;
};
