#include "mainwindow/PanelArea.h"

#include <QPainter>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The form's lower band, its field borders and its orange.
constexpr const char *AreaStyle = R"(
QTabWidget::pane { border: 1px solid #3a3e46; border-radius: 3px; top: -1px; background: #18191d; }
QTabBar::tab { background: #1e2025; color: #b8bcc4; border: 1px solid #3a3e46; border-bottom: none;
               border-top-left-radius: 3px; border-top-right-radius: 3px; padding: 2px 12px; margin-right: 2px; }
QTabBar::tab:selected { background: #18191d; color: #eceef1; border-top: 2px solid #ff8000; }
QTabBar::tab:focus { color: #ff8000; }
QScrollArea, QScrollArea > QWidget > QWidget { background: #18191d; border: none; }
QScrollBar { background: #0d0e10; border: none; width: 10px; height: 10px; }
QScrollBar::handle { background: #3a3e46; border-radius: 4px; min-height: 16px; min-width: 16px; }
QScrollBar::handle:hover { background: #5a5e66; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }
QScrollBar::add-page, QScrollBar::sub-page { background: none; }
)";

} // namespace

PanelArea::PanelArea(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("panelArea"));
    setStyleSheet(QLatin1String(AreaStyle));
    m_tabs = new QTabWidget(this);
    m_tabs->setDocumentMode(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 4, 14, 8);
    layout->addWidget(m_tabs);
}

void PanelArea::addPage(QWidget *page, const QString &title)
{
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(page);
    // The page is what the tab names; the scrolling around it is no stop of its own.
    scroll->setFocusPolicy(Qt::NoFocus);
    m_tabs->addTab(scroll, title);
}

void PanelArea::showPage(QWidget *page)
{
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (auto *scroll = qobject_cast<QScrollArea *>(m_tabs->widget(i)); scroll && scroll->widget() == page)
            m_tabs->setCurrentIndex(i);
    }
}

void PanelArea::paintEvent(QPaintEvent *)
{
    // The form's lower band and its frame continue below it.
    QPainter painter(this);
    painter.fillRect(rect(), QColor(18, 19, 22));
    painter.setPen(QColor(58, 62, 70));
    painter.drawLine(0, 0, width(), 0);
    const QRect edge = rect().adjusted(0, -1, -1, -1);
    painter.setPen(QColor(6, 6, 8));
    painter.drawRect(edge);
    painter.setPen(QColor(255, 255, 255, 14));
    painter.drawRect(edge.adjusted(1, 0, -1, -1));
}
