#include "mainwindow/FormatBox.h"

#include "mainwindow/ChoiceList.h"
#include "workflow/Presets.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include <algorithm>
#include <optional>

namespace {

bool isSeparator(const QModelIndex &index)
{
    return index.data(Qt::AccessibleDescriptionRole).toString() == QLatin1String("separator");
}

// A separator is a thin line with room above and below, so that it does not read as the
// underline of the entry above it.
class ListDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (!isSeparator(index)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const int y = option.rect.center().y();
        painter->save();
        painter->setPen(QPen(option.palette.color(QPalette::Mid), 1));
        painter->drawLine(option.rect.left() + 6, y, option.rect.right() - 6, y);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (isSeparator(index))
            return {option.rect.width(), SeparatorHeight};
        return QStyledItemDelegate::sizeHint(option, index);
    }

private:
    static constexpr int SeparatorHeight = 13;
};

} // namespace

FormatBox::FormatBox(QWidget *parent)
    : QComboBox(parent)
{
    // A list, not a field: a stray key picks no name that is not there. Typing a name's first
    // letters finds it.
    setEditable(false);
    keepChoiceReadable(*this);
    setItemDelegate(new ListDelegate(this));
    std::optional<PresetGroup> group;
    for (const Preset &preset : Presets::all()) {
        if (group && *group != preset.group)
            insertSeparator(count());
        group = preset.group;
        addItem(QString::fromUtf8(preset.name));
    }
}

bool FormatBox::isPreset(const QString &text) const
{
    return !text.isEmpty() && Presets::find(text);
}

void FormatBox::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    if (readOnly)
        hidePopup();
}

void FormatBox::showPopup()
{
    if (!m_readOnly)
        QComboBox::showPopup();
}

void FormatBox::keyPressEvent(QKeyEvent *event)
{
    // Read-only, no key picks another entry, typed letters neither; Tab and Esc go on to the window.
    static constexpr int Passing[] = {Qt::Key_Tab, Qt::Key_Backtab};
    if (m_readOnly && std::find(std::begin(Passing), std::end(Passing), event->key()) == std::end(Passing)) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void FormatBox::wheelEvent(QWheelEvent *event)
{
    if (m_readOnly) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}
