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
    // The access key of a hidden tab would still choose it, showing a page without its tab.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0 && !m_tabs->isTabVisible(index) && m_shown >= 0 && m_tabs->isTabVisible(m_shown))
            m_tabs->setCurrentIndex(m_shown);
        else
            m_shown = index;
    });
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



namespace {

int indexOf(const QTabWidget *tabs, const QWidget *page)
{
    for (int i = 0; i < tabs->count(); ++i) {
        if (auto *scroll = qobject_cast<QScrollArea *>(tabs->widget(i)); scroll && scroll->widget() == page)
            return i;
    }
    return -1;
}

} // namespace

void PanelArea::showPage(QWidget *page)
{
    if (const int index = indexOf(m_tabs, page); index >= 0 && m_tabs->isTabVisible(index))
        m_tabs->setCurrentIndex(index);
}

void PanelArea::setPageVisible(QWidget *page, bool visible)
{
    const int index = indexOf(m_tabs, page);
    if (index >= 0 && m_tabs->isTabVisible(index) != visible)
        m_tabs->setTabVisible(index, visible);
}

bool PanelArea::isPageVisible(QWidget *page) const
{
    const int index = indexOf(m_tabs, page);
    return index >= 0 && m_tabs->isTabVisible(index);
}

QWidget *PanelArea::currentPage() const
{
    auto *scroll = qobject_cast<QScrollArea *>(m_tabs->currentWidget());
    return scroll ? scroll->widget() : nullptr;
}

void PanelArea::paintEvent(QPaintEvent *)
{
    // The form's lower band continues below it.
    QPainter painter(this);
    painter.fillRect(rect(), QColor(24, 25, 29));
    painter.setPen(QColor(58, 62, 70));
    painter.drawLine(0, 0, width(), 0);
}
