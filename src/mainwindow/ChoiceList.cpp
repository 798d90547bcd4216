#include "mainwindow/ChoiceList.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QEvent>
#include <QItemSelectionModel>

namespace {

constexpr const char *Marked = "readsItsChoice";

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
    explicit ListWatch(QComboBox &box) : QObject(&box), m_box(box) {}

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

// The box with its chosen text as its text: screen readers take a list box's value from there
// when its list offers no selection of its own.
class ChoiceAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ChoiceAccessible(QComboBox *box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return chosen();
        return QAccessibleWidget::text(kind);
    }

    // The list is a window of its own, read while it is open.
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

    QStringList actionNames() const override { return {showMenuAction()}; }
    void doAction(const QString &name) override
    {
        if (name == showMenuAction() || name == pressAction())
            box()->showPopup();
    }

    // The text interface over the chosen entry's text, read only. The text is all selected, as
    // in a box that can be typed into: a new choice is then read as the selection it replaces.
    void selection(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
    }
    int selectionCount() const override { return chosen().isEmpty() ? 0 : 1; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return chosen().mid(start, end - start); }
    int characterCount() const override { return int(chosen().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *start, int *end) const override
    {
        *start = *end = 0;
        return {};
    }

private:
    QComboBox *box() const { return static_cast<QComboBox *>(widget()); }
    QString chosen() const { return box()->currentText(); }
};

QAccessibleInterface *choiceFactory(const QString &, QObject *object)
{
    auto *box = qobject_cast<QComboBox *>(object);
    if (box && box->property(Marked).toBool())
        return new ChoiceAccessible(box);
    return nullptr;
}

} // namespace

void keepChoiceReadable(QComboBox &box)
{
    static const bool installed = [] {
        QAccessible::installFactory(choiceFactory);
        return true;
    }();
    Q_UNUSED(installed);
    box.setProperty(Marked, true);
    auto text = std::make_shared<QString>(box.currentText());
    QObject::connect(&box, &QComboBox::currentIndexChanged, &box, [&box, text] {
        selectChoice(box);
        // Said as the new text coming in (the old one's removal would be read as a deletion).
        const QString now = box.currentText();
        if (now == *text)
            return;
        *text = now;
        QAccessibleTextInsertEvent inserted(&box, 0, now);
        QAccessible::updateAccessibility(&inserted);
    });
    box.view()->window()->installEventFilter(new ListWatch(box));
    selectChoice(box);
}
