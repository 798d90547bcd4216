#include "controls/button/TavloClick.h"

#include "common/PropertyBag.h"
#include "controls/button/HandCursor.h"

namespace {

using Step = ButtonLayouts::BagStep;

bool setByInitProperties(ButtonProperty id)
{
    switch (id) {
    case ButtonProperty::ButtonIcon:
    case ButtonProperty::Font:
    case ButtonProperty::MouseIcon:
    case ButtonProperty::PicNormal:
    case ButtonProperty::PicOver:
    case ButtonProperty::PicDown:
    case ButtonProperty::TextureImage:
    case ButtonProperty::MaskColor:
        return true;
    default:
        return false;
    }
}

} // namespace

void TavloClick::InitProperties()
{
    m_run.MouseOutside = false;
    m_props.buttonIcon = Picture::empty();
    m_props.font = ambientFont();
    forwardToHost(ButtonProperty::Font);
    m_lblCap.setFont(m_props.font);
    m_props.mouseIcon = HandCursor::picture();
    forwardToHost(ButtonProperty::MouseIcon);
    m_props.picNormal = Picture::empty();
    m_props.picOver = Picture::empty();
    m_props.picDown = Picture::empty();
    m_props.textureImage = Picture::empty();
    // AutoSize takes its default before the size step, whose resize handling would otherwise
    // size the control back to the face picture on show.
    m_props.autoSize = false;
    resizeControl(81, 33);
    for (const ButtonDescriptor &descriptor : buttonDescriptors()) {
        if (setByInitProperties(descriptor.id))
            continue;
        buttonDescriptors().setFieldValue(m_props, descriptor, descriptor.defaultValue);
        forwardToHost(descriptor.id);
    }
    // lblCap starts with the caption and its colour, so that a new button shows its caption.
    m_lblCap.setCaption(m_props.caption);
    m_lblCap.setForeColor(m_props.captionColor);
    setMaskColor(0);
}

void TavloClick::ReadProperties(const PropertyBag &bag)
{
    for (const Step &step : ButtonLayouts::bagOrder()) {
        if (step.kind == Step::Kind::TempFolder) {
            m_run.TempFolder = ButtonRuntime::temporaryFolder();
            continue;
        }
        const ButtonDescriptor &descriptor = buttonDescriptors().find(step.id);
        const QVariant fallback = step.id == ButtonProperty::Font ? QVariant::fromValue(ambientFont())
                                                                  : descriptor.defaultValue;
        const QVariant value = buttonDescriptors().readBag(bag, descriptor, fallback);
        if (step.kind == Step::Kind::CaptionLabel) {
            m_lblCap.setForeColor(value.toInt());
        } else if (step.id == ButtonProperty::MouseIcon) {
            setMouseIcon(value.value<Picture>());
        } else {
            buttonDescriptors().setFieldValue(m_props, descriptor, value);
            forwardToHost(step.id);
        }
    }
}

void TavloClick::WriteProperties(PropertyBag &bag) const
{
    for (const Step &step : ButtonLayouts::bagOrder()) {
        // CaptionColor is one key; the field holds the caption colour.
        if (step.kind != Step::Kind::Property)
            continue;
        const ButtonDescriptor &descriptor = buttonDescriptors().find(step.id);
        QVariant fallback = descriptor.defaultValue;
        if (step.id == ButtonProperty::Font)
            fallback = QVariant::fromValue(ambientFont());
        else if (step.id == ButtonProperty::MouseIcon)
            fallback = QVariant::fromValue(Picture());
        buttonDescriptors().writeBag(bag, m_props, descriptor, fallback);
    }
}
