#include "controls/progressbar/TavloProBarAccessible.h"

#include "common/RuntimeError.h"
#include "controls/progressbar/TavloProBar.h"
#include "controls/progressbar/paint/ProBarArithmetic.h"

namespace {

QAccessibleInterface *createInterface(const QString &, QObject *object)
{
    if (auto *bar = qobject_cast<TavloProBar *>(object))
        return new TavloProBarAccessible(bar);
    return nullptr;
}

// ProValue as a number; a value the bar cannot show counts as none.
double valueOf(const TavloProBar *bar)
{
    try {
        return ProBarArithmetic::proValueNumber(bar->ProValue());
    } catch (const RuntimeError &) {
        return 0;
    }
}

} // namespace

TavloProBarAccessible::TavloProBarAccessible(TavloProBar *bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

void TavloProBarAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(createInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

void TavloProBarAccessible::propertyChanged(TavloProBar *bar, ProBarProperty id)
{
    if (!QAccessible::isActive())
        return;
    switch (id) {
    case ProBarProperty::ProValue:
    case ProBarProperty::ProMax: {
        QAccessibleValueChangeEvent event(bar, valueOf(bar));
        QAccessible::updateAccessibility(&event);
        break;
    }
    case ProBarProperty::Caption: {
        QAccessibleEvent event(bar, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
        break;
    }
    default:
        break;
    }
}

TavloProBar *TavloProBarAccessible::bar() const { return static_cast<TavloProBar *>(widget()); }

QString TavloProBarAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Description:
        if (const QString caption = bar()->Caption(); !caption.isEmpty())
            return caption;
        return QAccessibleWidget::text(t);
    case QAccessible::Value:
        // As Qt's own progress bars say it: the share done, in percent.
        if (bar()->ProMax() > 0)
            return QStringLiteral("%1%").arg(qRound(100.0 * valueOf(bar()) / bar()->ProMax()));
        return {};
    default:
        return QAccessibleWidget::text(t);
    }
}

void *TavloProBarAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

QVariant TavloProBarAccessible::currentValue() const { return valueOf(bar()); }

// The bar shows the program's progress; nobody else sets it.
void TavloProBarAccessible::setCurrentValue(const QVariant &) {}

QVariant TavloProBarAccessible::maximumValue() const { return bar()->ProMax(); }
QVariant TavloProBarAccessible::minimumValue() const { return 0; }
QVariant TavloProBarAccessible::minimumStepSize() const { return 0; }
