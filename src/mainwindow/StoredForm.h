#pragma once

#include "common/Picture.h"
#include "common/PropertyBag.h"

#include <QFont>
#include <QList>
#include <QRect>
#include <QString>

#include <optional>

// A window's stored layout: its caption, client size and background picture, and for each control
// its kind, position and size (stored in twips), tab index, font and property bag, as the window
// keeps them in its stored form file.
struct StoredControl {
    QString name;
    QString kind; // "TavloClick", "TavloProBar", "TextBox", "ComboBox"
    QRect geometry; // pixels
    int tabIndex = 0;
    std::optional<QFont> font;
    PropertyBag properties;
};

struct StoredForm {
    static constexpr int TwipsPerPixel = 15;

    QString caption;
    QSize clientSize;
    Picture picture;
    QList<StoredControl> controls;

    // Reads a stored form (a resource or file); on any fault returns nothing and says why.
    static std::optional<StoredForm> load(const QString &path, QString *error = nullptr);

    const StoredControl *control(const QString &name) const;

    // The same form drawn smaller (factor below 1) or larger, keeping its proportions: sizes,
    // places and fonts, the controls' stored fonts included. The picture stays as it is.
    StoredForm scaled(double factor) const;
};
