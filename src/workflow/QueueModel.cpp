#include "workflow/QueueModel.h"

#include "workflow/PathText.h"

#include <QFileInfo>

QueueModel::QueueModel(QueueList &list, QObject *parent)
    : QAbstractTableModel(parent), m_list(list)
{
    connect(&list, &QueueList::aboutToInsert, this, [this](qsizetype row) { beginInsertRows({}, int(row), int(row)); });
    connect(&list, &QueueList::inserted, this, &QueueModel::endInsertRows);
    connect(&list, &QueueList::aboutToRemove, this, [this](qsizetype row) { beginRemoveRows({}, int(row), int(row)); });
    connect(&list, &QueueList::removed, this, &QueueModel::endRemoveRows);
    connect(&list, &QueueList::aboutToMove, this, [this](qsizetype from, qsizetype to) {
        // The row goes before the one that is at `to` now, or after it when it moves down.
        beginMoveRows({}, int(from), int(from), {}, int(to > from ? to + 1 : to));
    });
    connect(&list, &QueueList::moved, this, &QueueModel::endMoveRows);
    connect(&list, &QueueList::aboutToReset, this, &QueueModel::beginResetModel);
    connect(&list, &QueueList::reset, this, &QueueModel::endResetModel);
    connect(&list, &QueueList::stateChanged, this, &QueueModel::rowChanged);
    connect(&list, &QueueList::progressed, this, &QueueModel::rowChanged);
}

int QueueModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_list.size());
}

int QueueModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString QueueModel::rowText(const QueueItem &item)
{
    return PathText::shown(QFileInfo(item.source).fileName()) + QStringLiteral(" → ") + PathText::shown(QFileInfo(item.destination).fileName())
        + QStringLiteral(" · ") + item.presetText() + QStringLiteral(" · ") + item.stateText();
}

QVariant QueueModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const QueueItem &item = m_list.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case Source:
            return PathText::shown(QFileInfo(item.source).fileName());
        case Destination:
            return PathText::shown(QFileInfo(item.destination).fileName());
        case Preset:
            return item.presetText();
        default:
            return item.stateText();
        }
    case Qt::AccessibleTextRole:
        return rowText(item);
    case Qt::ToolTipRole: {
        // The row may cut a failure's reason short; the tip gives all of it.
        QString tip = PathText::shown(item.source) + QStringLiteral("\n→ ") + PathText::shown(item.destination);
        if (item.state == QueueItem::State::Failed || item.state == QueueItem::State::Skipped)
            tip += QLatin1Char('\n') + item.stateText();
        return tip;
    }
    case StateRole:
        return int(item.state);
    case PercentRole:
        return item.percent;
    case ReasonRole:
        return item.reason;
    default:
        return QVariant();
    }
}

QVariant QueueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QVariant();
    static const char *const Names[] = {"Source", "Destination", "Preset", "State"};
    return QString::fromLatin1(Names[section]);
}

void QueueModel::rowChanged(qsizetype row)
{
    if (row < 0 || row >= m_list.size())
        return;
    emit dataChanged(index(int(row), 0), index(int(row), ColumnCount - 1));
}
