#pragma once

#include <QStyledItemDelegate>

// Draws a queue row in the window's colours: the row's line on the fields' dark bed (the chosen
// row in the window's orange), for a file that converts a thin bar and its percent, and for a
// file that failed or was skipped an error mark with its reason in the error colour, cut at the
// row's right edge (the whole reason is in the row's tooltip and accessible text).
class QueueRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY(QueueRowDelegate)

public:
    // The error colour on the dark bed (about 7:1).
    static const QColor ErrorText;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
