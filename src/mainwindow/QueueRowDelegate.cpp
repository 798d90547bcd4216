#include "mainwindow/QueueRowDelegate.h"

#include "workflow/QueueModel.h"

#include <QPainter>

namespace {

const QColor Bed(13, 14, 16);
const QColor Text(236, 238, 241);
const QColor Orange(255, 128, 0);
const QColor Groove(58, 62, 70);
const QColor ErrorMark(226, 62, 62);
constexpr int BarHeight = 3;
constexpr int Margin = 6;

bool endedBadly(const QModelIndex &index)
{
    const auto state = QueueItem::State(index.data(QueueModel::StateRole).toInt());
    return state == QueueItem::State::Failed || state == QueueItem::State::Skipped;
}

// A round red mark with a white cross, the error boxes' sign at the row's size.
void paintErrorMark(QPainter *painter, const QRect &place)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(ErrorMark);
    painter->drawEllipse(place);
    const QRectF cross = QRectF(place).adjusted(place.width() * 0.3, place.height() * 0.3, -place.width() * 0.3,
                                                -place.height() * 0.3);
    painter->setPen(QPen(Qt::white, std::max(1.5, place.width() / 8.0), Qt::SolidLine, Qt::RoundCap));
    painter->drawLine(cross.topLeft(), cross.bottomRight());
    painter->drawLine(cross.topRight(), cross.bottomLeft());
    painter->restore();
}

// "Failed: Invalid data found when processing input": the row names the file already, so the
// failure's own words lose their "Conversion failed: /videos/a.avi: ".
QString shortReason(const QModelIndex &index)
{
    const auto state = QueueItem::State(index.data(QueueModel::StateRole).toInt());
    QString reason = index.data(QueueModel::ReasonRole).toString();
    const QString failed = QStringLiteral("Conversion failed: ");
    if (reason.startsWith(failed))
        reason.remove(0, failed.size());
    const QString source = index.data(Qt::ToolTipRole).toString().section(QLatin1Char('\n'), 0, 0);
    for (const QString &name : {source, source.section(QLatin1Char('/'), -1)}) {
        if (!name.isEmpty() && reason.startsWith(name + QStringLiteral(": "))) {
            reason.remove(0, name.size() + 2);
            break;
        }
    }
    const QString word = state == QueueItem::State::Failed ? QStringLiteral("Failed") : QStringLiteral("Skipped");
    return reason.isEmpty() ? word : word + QStringLiteral(": ") + reason;
}

} // namespace

const QColor QueueRowDelegate::ErrorText(255, 120, 112);

void QueueRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool chosen = option.state & QStyle::State_Selected;
    const QRect row = option.rect;
    painter->save();
    painter->setClipRect(row);
    painter->fillRect(row, chosen ? Orange : Bed);
    painter->setFont(option.font);
    const QColor text = chosen ? QColor(Qt::black) : Text;
    painter->setPen(text);
    QRect textRect = row.adjusted(Margin, 0, -Margin, -BarHeight);
    const QFontMetrics &metrics = option.fontMetrics;
    if (endedBadly(index)) {
        // The mark, the file's names, then as much of the reason as the row has room for: the
        // names take at most half, so that the reason's beginning always shows.
        const int side = std::min(textRect.height() - 2, metrics.height());
        paintErrorMark(painter, QRect(textRect.left(), textRect.center().y() - side / 2 + 1, side, side));
        textRect.setLeft(textRect.left() + side + Margin);
        const QString source = index.siblingAtColumn(QueueModel::Source).data().toString();
        const QString destination = index.siblingAtColumn(QueueModel::Destination).data().toString();
        const QString names = metrics.elidedText(source + QStringLiteral(" → ") + destination + QStringLiteral(" · "),
                                                 Qt::ElideMiddle, textRect.width() / 2);
        const int namesWidth = metrics.horizontalAdvance(names);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, names);
        const QRect reasonRect = textRect.adjusted(namesWidth, 0, 0, 0);
        const QString reason = shortReason(index);
        painter->setPen(chosen ? QColor(Qt::black) : ErrorText);
        painter->drawText(reasonRect, Qt::AlignLeft | Qt::AlignVCenter,
                          metrics.elidedText(reason, Qt::ElideRight, reasonRect.width()));
    } else {
        const QString line = index.data(Qt::AccessibleTextRole).toString();
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                          metrics.elidedText(line, Qt::ElideMiddle, textRect.width()));
    }
    if (index.data(QueueModel::StateRole).toInt() == int(QueueItem::State::Converting)) {
        // The figure is in the line's words; the bar shows it at a glance.
        const int percent = std::clamp(index.data(QueueModel::PercentRole).toInt(), 0, 100);
        const QRect groove(row.left() + Margin, row.bottom() - BarHeight, row.width() - 2 * Margin, BarHeight - 1);
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
