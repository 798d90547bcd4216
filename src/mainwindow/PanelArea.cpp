#include "mainwindow/PanelArea.h"

#include <QPainter>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

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
    m_pages.append({scroll, title, true});
    m_tabs->addTab(scroll, title);
}

qsizetype PanelArea::pageIndex(const QWidget *page) const
{
    for (qsizetype i = 0; i < m_pages.size(); ++i) {
        if (m_pages.at(i).scroll->widget() == page)
            return i;
    }
    return -1;
}

void PanelArea::showPage(QWidget *page)
{
    if (const qsizetype i = pageIndex(page); i >= 0 && m_pages.at(i).shown)
        m_tabs->setCurrentWidget(m_pages.at(i).scroll);
}

// A hidden tab is taken out of the bar, not only hidden: screen readers would still list it, and
// its access key would still choose it.
void PanelArea::setPageVisible(QWidget *page, bool visible)
{
    const qsizetype i = pageIndex(page);
    if (i < 0 || m_pages.at(i).shown == visible)
        return;
    Page &changed = m_pages[i];
    changed.shown = visible;
    if (!visible) {
        m_tabs->removeTab(m_tabs->indexOf(changed.scroll));
        changed.scroll->setParent(this);
        changed.scroll->hide();
        return;
    }
    // Back at its place among the pages shown.
    const int at = int(std::count_if(m_pages.begin(), m_pages.begin() + i, [](const Page &before) { return before.shown; }));
    m_tabs->insertTab(at, changed.scroll, changed.title);
}

bool PanelArea::isPageVisible(QWidget *page) const
{
    const qsizetype i = pageIndex(page);
    return i >= 0 && m_pages.at(i).shown;
}

QWidget *PanelArea::currentPage() const
{
    auto *scroll = qobject_cast<QScrollArea *>(m_tabs->currentWidget());
    return scroll ? scroll->widget() : nullptr;
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
