#pragma once

#include <QStyledItemDelegate>

// Draws a queue row in the window's colours: the row's line on the fields' dark bed (the chosen
// row in the window's orange), and for a file that converts a thin bar and its percent.
class QueueRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY(QueueRowDelegate)

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
