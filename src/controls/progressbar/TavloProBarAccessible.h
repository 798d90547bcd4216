#pragma once

#include "controls/progressbar/model/ProBarDescriptors.h"

#include <QAccessibleWidget>

class TavloProBar;

// What assistive technology sees of a TavloProBar: a progress bar named by the accessible name
// the window gives it, with ProValue between 0 and ProMax as its value and its caption as its
// description.
class TavloProBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TavloProBarAccessible(TavloProBar *bar);

    // Installs the factory that makes this interface for every TavloProBar; once per process.
    static void install();
    // Announces a change of the value, the range or the caption to assistive technology.
    static void propertyChanged(TavloProBar *bar, ProBarProperty id);

    QString text(QAccessible::Text t) const override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant &value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    TavloProBar *bar() const;
};
