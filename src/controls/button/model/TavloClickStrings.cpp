#include "controls/button/TavloClick.h"

#include "common/Rounding.h"
#include "common/RuntimeError.h"
#include "controls/button/model/ButtonFieldText.h"

namespace {

using ButtonLayouts::TextField;
namespace Text = ButtonFieldText;

// The largest font size a settings string may set, in points.
constexpr float MaxFontPoints = 16383.0f;

QVariant parseField(PropertyType type, const QString &text)
{
    switch (type) {
    case PropertyType::Boolean:
        return QVariant(Text::readBoolean(text));
    case PropertyType::Integer:
        return QVariant::fromValue<qint16>(Text::readInteger(text));
    case PropertyType::Long:
    case PropertyType::Colour:
        return QVariant::fromValue<qint32>(Text::readLong(text));
    case PropertyType::Single:
        return QVariant(Text::readSingle(text));
    case PropertyType::String:
        return QVariant(text);
    case PropertyType::Picture:
    case PropertyType::Font:
    case PropertyType::Variant:
        break;
    }
    Q_ASSERT_X(false, "parseField", "pictures and fonts have no text form");
    return {};
}

QString formatField(PropertyType type, const QVariant &value)
{
    switch (type) {
    case PropertyType::Boolean:
        return Text::formatBoolean(value.toBool());
    case PropertyType::Integer:
    case PropertyType::Long:
    case PropertyType::Colour:
        return Text::formatWhole(value.toInt());
    case PropertyType::Single:
        return Text::formatSingle(value.toFloat());
    case PropertyType::String:
        return value.toString();
    case PropertyType::Picture:
    case PropertyType::Font:
    case PropertyType::Variant:
        break;
    }
    Q_ASSERT_X(false, "formatField", "pictures and fonts have no text form");
    return {};
}

// Twips to whole pixels; a size outside 0..MaxControlSide pixels is an invalid property value.
int pixelsOf(float twips, double twipsPerPixel)
{
    const double pixels = Rounding::roundHalfEven(twips / twipsPerPixel);
    if (!(pixels >= 0 && pixels <= TavloClick::MaxControlSide))
        throw RuntimeError::invalidPropertyValue();
    return static_cast<int>(pixels);
}

// A name the platform accepts as one file in the current folder.
bool isPlainFileName(const QString &name)
{
    return !name.contains(u'/') && !name.contains(QChar(0));
}

} // namespace

QString TavloClick::fieldText(const TextField &field) const
{
    const QFont &font = m_props.font;
    switch (field.kind) {
    case TextField::Kind::Field:
    case TextField::Kind::Accessor: {
        const ButtonDescriptor &descriptor = buttonDescriptors().find(field.id);
        return formatField(descriptor.type, buttonDescriptors().fieldValue(m_props, descriptor));
    }
    case TextField::Kind::Height:
        return Text::formatSingle(static_cast<float>(height() * twipsPerPixelY()));
    case TextField::Kind::Width:
        return Text::formatSingle(static_cast<float>(width() * twipsPerPixelX()));
    case TextField::Kind::FontName:
        return font.family();
    case TextField::Kind::FontSize: {
        // A font given in pixels travels in points too, at the control's own resolution.
        const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() / pixelsPerPoint();
        return Text::formatSingle(static_cast<float>(points));
    }
    case TextField::Kind::FontBold:
        return Text::formatBoolean(font.bold());
    case TextField::Kind::FontItalic:
        return Text::formatBoolean(font.italic());
    }
    return {};
}

void TavloClick::applyField(const TextField &field, const QString &text)
{
    QFont font = m_props.font;
    switch (field.kind) {
    case TextField::Kind::Field: {
        const ButtonDescriptor &descriptor = buttonDescriptors().find(field.id);
        buttonDescriptors().setFieldValue(m_props, descriptor, parseField(descriptor.type, text));
        if (field.id == ButtonProperty::CaptionColor)
            m_lblCap.setForeColor(m_props.captionColor);
        return;
    }
    case TextField::Kind::Accessor:
        setPropertyValue(field.id, parseField(buttonDescriptors().find(field.id).type, text));
        return;
    case TextField::Kind::Height:
        resizeControl(width(), pixelsOf(Text::readSingle(text), twipsPerPixelY()));
        return;
    case TextField::Kind::Width:
        resizeControl(pixelsOf(Text::readSingle(text), twipsPerPixelX()), height());
        return;
    case TextField::Kind::FontName:
        font.setFamily(text);
        break;
    case TextField::Kind::FontSize: {
        const float points = Text::readSingle(text);
        if (!(points > 0 && points <= MaxFontPoints))
            throw RuntimeError::invalidPropertyValue();
        font.setPointSizeF(points);
        break;
    }
    case TextField::Kind::FontBold:
        font.setBold(Text::readBoolean(text));
        break;
    case TextField::Kind::FontItalic:
        font.setItalic(Text::readBoolean(text));
        break;
    }
    m_props.font = font;
    forwardToHost(ButtonProperty::Font);
}

QString TavloClick::composeLine(std::span<const TextField> layout) const
{
    QStringList fields;
    fields.reserve(qsizetype(layout.size()));
    for (const TextField &field : layout)
        fields.append(fieldText(field));
    return fields.join(Text::Separator);
}

// Fields missing from the line are the subscript error of the old platform. With ignoreErrors
// (a file name was given) and from alwaysIgnoredFrom on, a failing field is skipped.
void TavloClick::applyLine(std::span<const TextField> layout, const QStringList &fields,
                           bool ignoreErrors, int alwaysIgnoredFrom)
{
    for (int index = 0; index < int(layout.size()); ++index) {
        try {
            if (index >= fields.size())
                throw RuntimeError::subscriptOutOfRange();
            applyField(layout[size_t(index)], fields.at(index));
        } catch (const RuntimeError &) {
            if (!ignoreErrors && index < alwaysIgnoredFrom)
                throw;
        }
    }
}

QString TavloClick::SaveButtonTheme(const QString &FileName)
{
    const QString line = composeLine(ButtonLayouts::themeFields());
    if (!FileName.isEmpty())
        Text::writeLine(FileName, line);
    return line;
}

void TavloClick::LoadButtonTheme(const QString &FileName, const QString &ThemeString)
{
    QString line;
    if (!FileName.isEmpty())
        Text::readFirstLine(FileName, line);
    if (!ThemeString.isEmpty())
        line = ThemeString;
    const auto &layout = ButtonLayouts::themeFields();
    applyLine(layout, Text::split(line), !FileName.isEmpty(), int(layout.size()));
    Redraw(0);
}

QString TavloClick::SaveButtonSettings(const QString &FileName)
{
    const QString line = composeLine(ButtonLayouts::settingsFields());
    if (!FileName.isEmpty())
        Text::writeLine(FileName, line);
    return line;
}

void TavloClick::LoadButtonSettings(const QString &FileName, const QString &SettingsString)
{
    QString line;
    if (!FileName.isEmpty())
        Text::readFirstLine(FileName, line);
    if (!SettingsString.isEmpty())
        line = SettingsString;
    // The frozen pictures are not part of the string: a load that leaves Freeze on captures
    // them again from the look it loaded, also when a later field stops the load.
    const auto settleFrozenLook = [this] {
        if (m_props.freeze) {
            m_props.customPic = false;
            captureFrozenFaces();
            m_props.customPic = true;
        }
    };
    try {
        applyLine(ButtonLayouts::settingsFields(), Text::split(line), !FileName.isEmpty(),
                  ButtonLayouts::FirstFontField);
    } catch (const RuntimeError &) {
        settleFrozenLook();
        throw;
    }
    settleFrozenLook();
    Redraw(0);
}

QString TavloClick::quickSaveFileName() const
{
    return objectName() + QLatin1Char('-') + m_props.caption + QLatin1String(".scs");
}

void TavloClick::quickSaveSettings()
{
    const QString name = quickSaveFileName();
    // The current folder may be shared: a link planted at the name is not written through.
    if (isPlainFileName(name))
        Text::writeLine(name, SaveButtonSettings(QString()), false);
}
