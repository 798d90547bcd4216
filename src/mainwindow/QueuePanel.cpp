#include "mainwindow/QueuePanel.h"

#include "mainwindow/QueueRowDelegate.h"
#include "mainwindow/WindowQueue.h"
#include "workflow/QueueModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

namespace {

// The beds and borders of the form's own fields, and its orange.
constexpr const char *PanelStyle = R"(
QListView { background: #0d0e10; color: #eceef1; border: 1px solid #363a42; border-radius: 3px; }
QListView:focus { border-color: #ff8000; }
QPushButton { color: #eceef1; font-weight: bold; border: 1px solid #545965; border-radius: 5px; padding: 3px 7px;
              background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #424650, stop:1 #2d3037); }
QPushButton:hover { color: #ffffff; border-color: #d6761e;
                    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #525763, stop:1 #383c45); }
QPushButton:pressed { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #1e2025, stop:1 #2a2d33); }
QPushButton:focus { border-color: #ff8000; }
QPushButton:disabled { color: #8a8f98; font-weight: normal; border-color: #363a42; background: #202226; }
QSpinBox { background: #0d0e10; color: #eceef1; border: 1px solid #363a42; border-radius: 3px; padding: 2px 4px;
           selection-background-color: #ff8000; selection-color: #000000; }
QSpinBox:focus { border-color: #ff8000; }
QSpinBox::up-button, QSpinBox::down-button { background: #2d3037; border-left: 1px solid #363a42; width: 16px; }
QSpinBox::up-button:hover, QSpinBox::down-button:hover { background: #424650; }
QSpinBox::up-arrow { image: url(:/art/spin-up.png); width: 9px; height: 5px; }
QSpinBox::down-arrow { image: url(:/art/spin-down.png); width: 9px; height: 5px; }
QScrollBar:vertical { background: #0d0e10; border: none; width: 10px; margin: 1px; }
QScrollBar:horizontal { background: #0d0e10; border: none; height: 10px; margin: 1px; }
QScrollBar::handle { background: #454a54; border-radius: 4px; min-height: 16px; min-width: 16px; }
QScrollBar::handle:hover { background: #6a707a; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }
QScrollBar::add-page, QScrollBar::sub-page { background: none; }
QLabel { color: #c4c8cf; }
)";

} // namespace

QueuePanel::QueuePanel(WindowQueue &queue, QWidget *parent)
    : QWidget(parent), m_queue(queue)
{
    setObjectName(QStringLiteral("queuePanel"));
    setAccessibleName(QStringLiteral("Queue"));
    setStyleSheet(QLatin1String(PanelStyle));
    m_model = new QueueModel(queue.list(), this);
    m_items = new QListView(this);
    m_items->setModel(m_model);
    m_items->setItemDelegate(new QueueRowDelegate(m_items));
    m_items->setSelectionMode(QAbstractItemView::SingleSelection);
    m_items->setUniformItemSizes(true);
    m_items->setAccessibleName(QStringLiteral("Conversions in the queue"));
    const auto button = [this](const QString &text, const QString &name, const QString &tip) {
        auto *b = new QPushButton(text, this);
        b->setAccessibleName(name);
        b->setToolTip(tip);
        return b;
    };
    m_remove = button(QStringLiteral("&Remove"), QStringLiteral("Remove from the queue"), QStringLiteral("Remove the chosen file (Delete)"));
    m_up = button(QStringLiteral("&Up"), QStringLiteral("Move up"), QStringLiteral("Convert the chosen file earlier (Alt+Up)"));
    m_down = button(QStringLiteral("&Down"), QStringLiteral("Move down"), QStringLiteral("Convert the chosen file later (Alt+Down)"));
    m_clear = button(QStringLiteral("C&lear finished"), QStringLiteral("Clear finished"), QStringLiteral("Remove every file that has ended"));
    // A number, read as one: a screen reader says the box with its value and each new value.
    m_atOnce = new QSpinBox(this);
    m_atOnce->setAccessibleName(QStringLiteral("At once")); // as its label: said once
    m_atOnce->setToolTip(QStringLiteral("How many files convert at the same time (Alt+N)"));
    m_atOnce->setRange(0, std::max(4, QThread::idealThreadCount()));
    m_atOnce->setSpecialValueText(QStringLiteral("One per processor")); // 0
    m_atOnce->setValue(std::clamp(queue.atOnce(), 0, m_atOnce->maximum()));
    auto *atOnceLabel = new QLabel(QStringLiteral("At o&nce:"), this);
    atOnceLabel->setBuddy(m_atOnce);

    auto *buttons = new QHBoxLayout;
    for (QWidget *w : {static_cast<QWidget *>(m_remove), static_cast<QWidget *>(m_up), static_cast<QWidget *>(m_down),
                       static_cast<QWidget *>(m_clear)})
        buttons->addWidget(w);
    buttons->addStretch();
    buttons->addWidget(atOnceLabel);
    buttons->addWidget(m_atOnce);
    auto *layout = m_layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    // Two rows at the least; a smaller area scrolls the page.
    m_items->setMinimumHeight(2 * (fontMetrics().height() + 9) + 4);
    layout->addWidget(m_items);
    layout->addLayout(buttons);

    connect(m_remove, &QPushButton::clicked, this, &QueuePanel::removeChosen);
    connect(m_up, &QPushButton::clicked, this, [this] { moveChosen(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { moveChosen(1); });
    connect(m_clear, &QPushButton::clicked, this, [this] { m_queue.list().clearFinished(); });
    connect(m_atOnce, &QSpinBox::valueChanged, this, [this](int atOnce) { m_queue.setAtOnce(atOnce); });
    connect(m_items->selectionModel(), &QItemSelectionModel::currentChanged, this, &QueuePanel::updateButtons);
    // The buttons follow the rows' states as the queue runs.
    connect(&m_queue, &WindowQueue::changed, this, &QueuePanel::updateButtons);
    auto *del = new QShortcut(QKeySequence::Delete, m_items, nullptr, nullptr, Qt::WidgetShortcut);
    connect(del, &QShortcut::activated, this, &QueuePanel::removeChosen);
    auto *up = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Up), m_items, nullptr, nullptr, Qt::WidgetShortcut);
    connect(up, &QShortcut::activated, this, [this] { moveChosen(-1); });
    auto *down = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Down), m_items, nullptr, nullptr, Qt::WidgetShortcut);
    connect(down, &QShortcut::activated, this, [this] { moveChosen(1); });
    updateButtons();
}

void QueuePanel::addControl(QWidget *control, QWidget *line)
{
    // A row of their own below the panel's buttons.
    auto *row = new QHBoxLayout;
    row->addWidget(control, 0, Qt::AlignLeft);
    row->addWidget(line, 1);
    m_layout->addLayout(row);
}

int QueuePanel::chosenRow() const
{
    return m_items->currentIndex().isValid() ? m_items->currentIndex().row() : -1;
}

void QueuePanel::updateButtons()
{
    const int row = chosenRow();
    const QueueItems &items = m_queue.list().items();
    const bool chosen = row >= 0 && row < items.size();
    m_remove->setEnabled(chosen && items.at(row).state != QueueItem::State::Converting);
    m_up->setEnabled(chosen && row > 0);
    m_down->setEnabled(chosen && row + 1 < items.size());
    m_clear->setEnabled(std::any_of(items.begin(), items.end(), [](const QueueItem &item) {
        return item.finished() || item.state == QueueItem::State::Cancelled;
    }));
}

void QueuePanel::removeChosen()
{
    m_queue.list().remove(chosenRow());
}

void QueuePanel::moveChosen(int by)
{
    // The chosen row moves with its item.
    m_queue.list().move(chosenRow(), by);
}

void QueuePanel::paintEvent(QPaintEvent *)
{
    // The bed of the panel area's page.
    QPainter painter(this);
    painter.fillRect(rect(), QColor(24, 25, 29));
}
