#include "mainwindow/QueueRowDelegate.h"

#include "workflow/QueueModel.h"

#include <QPainter>

namespace {

const QColor Bed(13, 14, 16);
const QColor Text(236, 238, 241);
const QColor Orange(255, 128, 0);
const QColor Groove(58, 62, 70);
constexpr int BarHeight = 3;

} // namespace

void QueueRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool chosen = option.state & QStyle::State_Selected;
    const QRect row = option.rect;
    painter->save();
    painter->fillRect(row, chosen ? Orange : Bed);
    painter->setFont(option.font);
    painter->setPen(chosen ? QColor(Qt::black) : Text);
    const QRect textRect = row.adjusted(6, 0, -6, -BarHeight);
    const QString line = index.data(Qt::AccessibleTextRole).toString();
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                      option.fontMetrics.elidedText(line, Qt::ElideMiddle, textRect.width()));
    if (index.data(QueueModel::StateRole).toInt() == int(QueueItem::State::Converting)) {
        // The figure is in the line's words; the bar shows it at a glance.
        const int percent = std::clamp(index.data(QueueModel::PercentRole).toInt(), 0, 100);
        const QRect groove(row.left() + 6, row.bottom() - BarHeight, row.width() - 12, BarHeight - 1);
        painter->fillRect(groove, chosen ? QColor(Qt::black) : Groove);
        painter->fillRect(QRect(groove.topLeft(), QSize(groove.width() * percent / 100, groove.height())),
                          chosen ? Text : Orange);
    }
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(chosen ? QColor(Qt::black) : Orange, 1, Qt::DotLine));
        painter->drawRect(row.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

QSize QueueRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QSize size = QStyledItemDelegate::sizeHint(option, index);
    return {size.width(), option.fontMetrics.height() + 6 + BarHeight};
}
