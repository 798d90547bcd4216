#include "mainwindow/ChoiceList.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QItemSelectionModel>

namespace {

void selectChoice(QComboBox &box)
{
    QAbstractItemView *list = box.view();
    // Open, the list is the box's to drive.
    if (!list || !list->selectionModel() || list->isVisible())
        return;
    const QModelIndex chosen = box.model()->index(box.currentIndex(), box.modelColumn(), box.rootModelIndex());
    QItemSelectionModel *selection = list->selectionModel();
    if (chosen.isValid())
        selection->select(chosen, QItemSelectionModel::ClearAndSelect);
    else
        selection->clearSelection();
    selection->clearCurrentIndex();
}

// Told when the list closes: it leaves its current entry behind.
class ListWatch : public QObject {
public:
    ListWatch(QComboBox &box) : QObject(&box), m_box(box) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide)
            QMetaObject::invokeMethod(this, [this] { selectChoice(m_box); }, Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }

private:
    QComboBox &m_box;
};

} // namespace

void keepChoiceReadable(QComboBox &box)
{
    QObject::connect(&box, &QComboBox::currentIndexChanged, &box, [&box] { selectChoice(box); });
    box.view()->window()->installEventFilter(new ListWatch(box));
    selectChoice(box);
}
