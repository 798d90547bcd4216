#include "ContactSheet.h"

#include <QDir>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

const QColor Paper(236, 236, 232);
constexpr int Margin = 12;
constexpr int LabelHeight = 16;

} // namespace

ContactSheet::ContactSheet(QString title, int columns) : m_title(std::move(title)), m_columns(std::max(1, columns)) {}

void ContactSheet::add(const QString &label, const QImage &picture) { m_cells.push_back({label, picture}); }

bool ContactSheet::save(const QString &folder, const QString &name) const
{
    int cellWidth = 90, cellHeight = 0;
    for (const Cell &cell : m_cells) {
        cellWidth = std::max(cellWidth, cell.picture.width());
        cellHeight = std::max(cellHeight, cell.picture.height());
    }
    cellWidth += Margin;
    cellHeight += LabelHeight + Margin;
    const int rows = int((m_cells.size() + m_columns - 1) / m_columns);
    const int titleHeight = 28;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(14);
    font.setBold(true);
    const int titleWidth = QFontMetrics(font).horizontalAdvance(m_title) + 2 * Margin;
    QImage page(std::max(m_columns * cellWidth + Margin, titleWidth), rows * cellHeight + titleHeight + Margin,
                QImage::Format_RGB32);
    page.fill(Paper);
    QPainter painter(&page);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(Margin, 20, m_title);
    font.setPixelSize(10);
    font.setBold(false);
    painter.setFont(font);
    for (size_t i = 0; i < m_cells.size(); ++i) {
        const int x = Margin + int(i % m_columns) * cellWidth;
        const int y = titleHeight + int(i / m_columns) * cellHeight;
        painter.drawText(x, y + 10, m_cells[i].label);
        painter.drawImage(x, y + LabelHeight - 2, m_cells[i].picture);
    }
    painter.end();
    return page.save(QDir(folder).filePath(name + QStringLiteral(".png")));
}
