#pragma once

#include <QAccessibleWidget>

class TavloClick;

// What assistive technology sees of a TavloClick: a push button named by the accessible name the
// window gives it, else by its caption (without the access-key mark), with a press action that
// clicks it as its access key does, and the widget's enabled, focusable and focused states.
class TavloClickAccessible : public QAccessibleWidget {
public:
    explicit TavloClickAccessible(TavloClick *button);

    // Installs the factory that makes this interface for every TavloClick; once per process.
    static void install();
    // Tells assistive technology that the name a caption gives has changed.
    static void captionChanged(TavloClick *button);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    TavloClick *button() const;
};
