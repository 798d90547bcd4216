#include "mainwindow/StoredForm.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

int pixels(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toInt() / StoredForm::TwipsPerPixel;
}

QFont fontFrom(const QJsonObject &object)
{
    QFont font(object.value(QLatin1String("name")).toString());
    font.setPointSizeF(object.value(QLatin1String("size")).toDouble(8.25));
    font.setBold(object.value(QLatin1String("bold")).toBool());
    font.setItalic(object.value(QLatin1String("italic")).toBool());
    return font;
}

} // namespace

std::optional<StoredForm> StoredForm::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, parseError.errorString());
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    StoredForm form;
    form.caption = root.value(QLatin1String("Caption")).toString();
    form.clientSize = QSize(pixels(root, "ClientWidth"), pixels(root, "ClientHeight"));
    const QString background = root.value(QLatin1String("Picture")).toObject().value(QLatin1String("resource")).toString();
    if (!background.isEmpty())
        form.picture = Picture::fromPath(background);
    for (const QJsonValue &value : root.value(QLatin1String("controls")).toArray()) {
        const QJsonObject object = value.toObject();
        StoredControl control;
        control.name = object.value(QLatin1String("name")).toString();
        control.kind = object.value(QLatin1String("kind")).toString();
        control.geometry = QRect(pixels(object, "Left"), pixels(object, "Top"), pixels(object, "Width"),
                                 pixels(object, "Height"));
        control.tabIndex = object.value(QLatin1String("TabIndex")).toInt();
        if (object.contains(QLatin1String("Font")))
            control.font = fontFrom(object.value(QLatin1String("Font")).toObject());
        control.properties = PropertyBag(object.value(QLatin1String("properties")).toObject());
        form.controls << control;
    }
    return form;
}

const StoredControl *StoredForm::control(const QString &name) const
{
    for (const StoredControl &control : controls) {
        if (control.name == name)
            return &control;
    }
    return nullptr;
}
