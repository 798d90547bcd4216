#include "controls/button/TavloClickAccessible.h"

#include "controls/button/TavloClick.h"

#include <QKeySequence>

namespace {

// The caption as it reads: "&&" is a literal "&", a single "&" only marks the access key.
QString withoutAccessMark(const QString &caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 == caption.size())
                break;
            ++i;
        }
        text += caption[i];
    }
    return text;
}

QAccessibleInterface *createInterface(const QString &, QObject *object)
{
    if (auto *button = qobject_cast<TavloClick *>(object))
        return new TavloClickAccessible(button);
    return nullptr;
}

} // namespace

TavloClickAccessible::TavloClickAccessible(TavloClick *button) : QAccessibleWidget(button, QAccessible::Button) {}

void TavloClickAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(createInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

void TavloClickAccessible::captionChanged(TavloClick *button)
{
    if (!QAccessible::isActive() || !button->accessibleName().isEmpty())
        return;
    QAccessibleEvent event(button, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

TavloClick *TavloClickAccessible::button() const { return static_cast<TavloClick *>(widget()); }

QString TavloClickAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name:
        if (const QString name = widget()->accessibleName(); !name.isEmpty())
            return name;
        return withoutAccessMark(button()->Caption());
    case QAccessible::Accelerator:
        return QKeySequence::mnemonic(button()->Caption()).toString(QKeySequence::NativeText);
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State TavloClickAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.pressed = button()->m_spaceHeld;
    return state;
}

QStringList TavloClickAccessible::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (widget()->isEnabled())
        names.prepend(pressAction());
    return names;
}

void TavloClickAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction() && widget()->isEnabled())
        button()->clicked();
    else
        QAccessibleWidget::doAction(actionName);
}

QStringList TavloClickAccessible::keyBindingsForAction(const QString &actionName) const
{
    if (actionName == pressAction()) {
        const QString key = text(QAccessible::Accelerator);
        return key.isEmpty() ? QStringList() : QStringList{key};
    }
    return QAccessibleWidget::keyBindingsForAction(actionName);
}
