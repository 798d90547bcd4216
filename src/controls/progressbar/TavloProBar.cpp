#include "controls/progressbar/TavloProBar.h"
#include "controls/progressbar/TavloProBarAccessible.h"

#include "controls/InputCodes.h"
#include "common/PropertyBag.h"
#include "common/Rounding.h"
#include "common/StepGuard.h"
#include "controls/progressbar/paint/ProBarArithmetic.h"
#include "controls/progressbar/paint/ProBarPipeline.h"

#include <QMouseEvent>

namespace {

bool horizontalMode(int32_t mode) { return mode == 0 || mode == 2; }
bool verticalMode(int32_t mode) { return mode == 1 || mode == 3; }

} // namespace

TavloProBar::TavloProBar(QWidget *parent) : SelfPaintedControl(parent)
{
    TavloProBarAccessible::install();
    connect(&m_tmrBusy, &HostTimer::timeout, this, &TavloProBar::busyTick);
    InitProperties();
}

TavloProBar::~TavloProBar() = default;

// Setters: each stores through the descriptor table, so the key, type and field of a property
// are named once.
void TavloProBar::setBackColor(OleColor value) { assign(ProBarProperty::BackColor, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setEnabled(bool value) { assign(ProBarProperty::Enabled, value); }
void TavloProBar::setFont(const QFont &value) { assign(ProBarProperty::Font, QVariant::fromValue(value)); }
void TavloProBar::setProValue(const QVariant &value) { assign(ProBarProperty::ProValue, value); }
void TavloProBar::setBarMode(int32_t value) { assign(ProBarProperty::BarMode, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBlockSize(int32_t value) { assign(ProBarProperty::BlockSize, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBlockGap(int32_t value) { assign(ProBarProperty::BlockGap, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBlockMid(int32_t value) { assign(ProBarProperty::BlockMid, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBlockDepth(int32_t value) { assign(ProBarProperty::BlockDepth, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBlockFeather(int32_t value) { assign(ProBarProperty::BlockFeather, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setProMax(int32_t value) { assign(ProBarProperty::ProMax, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBlockColor1(OleColor value) { assign(ProBarProperty::BlockColor1, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBlockColor2(OleColor value) { assign(ProBarProperty::BlockColor2, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBlockColor3(OleColor value) { assign(ProBarProperty::BlockColor3, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBlockColor4(OleColor value) { assign(ProBarProperty::BlockColor4, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBlockStyle(int32_t value) { assign(ProBarProperty::BlockStyle, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBarFlip(bool value) { assign(ProBarProperty::BarFlip, value); }
void TavloProBar::setBorderColor1(OleColor value) { assign(ProBarProperty::BorderColor1, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBorderColor2(OleColor value) { assign(ProBarProperty::BorderColor2, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBorderShow(bool value) { assign(ProBarProperty::BorderShow, value); }
void TavloProBar::setBorderRound(int32_t value) { assign(ProBarProperty::BorderRound, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBlockRound(bool value) { assign(ProBarProperty::BlockRound, value); }
void TavloProBar::setBlockRoundW(int32_t value) { assign(ProBarProperty::BlockRoundW, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBlockRoundH(int32_t value) { assign(ProBarProperty::BlockRoundH, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBusySpeed(int32_t value) { assign(ProBarProperty::BusySpeed, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setBusy(bool value) { assign(ProBarProperty::Busy, value); }
void TavloProBar::setCoverPic(const Picture &value) { assign(ProBarProperty::CoverPic, QVariant::fromValue(value)); }
void TavloProBar::setCoverAlpha(int32_t value) { assign(ProBarProperty::CoverAlpha, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setCoverShow(bool value) { assign(ProBarProperty::CoverShow, value); }
void TavloProBar::setBackPicture(const Picture &value) { assign(ProBarProperty::BackPicture, QVariant::fromValue(value)); }
void TavloProBar::setCaption(const QString &value) { assign(ProBarProperty::Caption, value); }
void TavloProBar::setCaptionAlignment(int32_t value) { assign(ProBarProperty::CaptionAlignment, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setCaptionColor(OleColor value) { assign(ProBarProperty::CaptionColor, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setCaptionShadow(bool value) { assign(ProBarProperty::CaptionShadow, value); }
void TavloProBar::setCaptionShadowColor(OleColor value) { assign(ProBarProperty::CaptionShadowColor, QVariant::fromValue<qint32>(value)); }
void TavloProBar::setShowValue(bool value) { assign(ProBarProperty::ShowValue, value); }
void TavloProBar::setCaptionAutoOrient(bool value) { assign(ProBarProperty::CaptionAutoOrient, value); }
void TavloProBar::setBlockPicture(const Picture &value) { assign(ProBarProperty::BlockPicture, QVariant::fromValue(value)); }

void TavloProBar::assign(ProBarProperty id, const QVariant &value)
{
    const ProBarDescriptor &descriptor = proBarDescriptors().find(id);
    const int32_t oldMode = m_props.barMode;
    proBarDescriptors().setFieldValue(m_props, descriptor, value);
    forward(id);

    // The setter reports the first failure, after the value is stored, drawn and announced.
    StepGuard steps("TavloProBar assignment");
    if (id == ProBarProperty::BusySpeed)
        steps.run([&] { m_tmrBusy.setInterval(ProBarArithmetic::busyInterval(m_props.busySpeed)); });
    if (id == ProBarProperty::BarMode) {
        turnForMode(oldMode);
        resizeHandling(steps);
    } else {
        redraw(steps);
    }
    emit propertyChanged(QString(descriptor.name));
    TavloProBarAccessible::propertyChanged(this, id);
    steps.rethrowFirst();
}

// BackColor, Enabled and Font belong to the control itself and are handed on to it.
void TavloProBar::forward(ProBarProperty id)
{
    switch (id) {
    case ProBarProperty::BackColor:
        m_canvas.control.setBackColor(m_props.backColor);
        break;
    case ProBarProperty::Enabled:
        QWidget::setEnabled(m_props.enabled);
        break;
    case ProBarProperty::Font:
        QWidget::setFont(m_props.font);
        break;
    default:
        break;
    }
}

QVariant TavloProBar::defaultFor(const ProBarDescriptor &descriptor) const
{
    if (descriptor.type == PropertyType::Font)
        return QVariant::fromValue(ambientFont());
    return descriptor.defaultValue;
}

void TavloProBar::InitProperties()
{
    for (const ProBarDescriptor &descriptor : proBarDescriptors()) {
        // A new instance gets picture objects without an image, which the painter does draw.
        const QVariant value = descriptor.type == PropertyType::Picture ? QVariant::fromValue(Picture::empty())
                                                                        : defaultFor(descriptor);
        proBarDescriptors().setFieldValue(m_props, descriptor, value);
        forward(descriptor.id);
    }
}

void TavloProBar::ReadProperties(const PropertyBag &bag)
{
    for (const ProBarDescriptor &descriptor : proBarDescriptors()) {
        const QVariant value = proBarDescriptors().readBag(bag, descriptor, defaultFor(descriptor));
        proBarDescriptors().setFieldValue(m_props, descriptor, value);
        forward(descriptor.id);
    }
}

void TavloProBar::WriteProperties(PropertyBag &bag) const
{
    for (const ProBarDescriptor &descriptor : proBarDescriptors())
        proBarDescriptors().writeBag(bag, m_props, descriptor, defaultFor(descriptor));
}

void TavloProBar::DrawBar()
{
    StepGuard steps("TavloProBar DrawBar");
    redraw(steps);
    steps.rethrowFirst();
}

void TavloProBar::Refresh()
{
    update();
    DrawBar();
}

void TavloProBar::redraw(StepGuard &steps)
{
    if (const std::optional<bool> busy = ProBarPipeline::DrawBar(m_canvas, m_props, size(), logicalDpiY(), steps))
        m_tmrBusy.setEnabled(*busy);
    update();
}

void TavloProBar::resizeHandling(StepGuard &steps)
{
    m_canvas.picMask.resize(width(), height());
    m_canvas.picCover.resize(width(), height());
    redraw(steps);
    rebuildShape();
}

void TavloProBar::rebuildShape()
{
    setMask(ProBarPipeline::buildShape(m_canvas, m_props.borderRound));
}

// Turning between a horizontal and a vertical mode swaps width and height, converted through
// twips so that the turn keeps the physical size on screens with unequal resolutions.
void TavloProBar::turnForMode(int32_t oldMode)
{
    const int32_t newMode = m_props.barMode;
    const bool turns = (horizontalMode(newMode) && verticalMode(oldMode))
        || (verticalMode(newMode) && horizontalMode(oldMode));
    if (!turns)
        return;
    const double widthTwips = twipsPerPixelY() * height();
    const double heightTwips = twipsPerPixelX() * width();
    m_turning = true;
    resize(Rounding::toLong(widthTwips / twipsPerPixelX()), Rounding::toLong(heightTwips / twipsPerPixelY()));
    m_turning = false;
}

void TavloProBar::busyTick()
{
    StepGuard steps("TavloProBar busy tick");
    ProBarPipeline::busyTick(m_canvas, m_props, m_busyPhase, logicalDpiY(), steps);
    m_tmrBusy.setEnabled(true);
    update();
}

void TavloProBar::resizeEvent(QResizeEvent *)
{
    // During a turn, the setter runs the resize handling itself and reports its error.
    if (m_turning)
        return;
    StepGuard steps("TavloProBar resize");
    resizeHandling(steps);
}

void TavloProBar::showEvent(QShowEvent *)
{
    StepGuard steps("TavloProBar show");
    redraw(steps);
    rebuildShape();
}

void TavloProBar::mousePressEvent(QMouseEvent *event)
{
    m_afterDoubleClick = false;
    emit MouseDown(InputCodes::buttonMask(event->button()), InputCodes::shiftMask(event->modifiers()),
                   float(event->position().x()), float(event->position().y()));
}

void TavloProBar::mouseMoveEvent(QMouseEvent *event)
{
    emit MouseMove(InputCodes::buttonMask(event->buttons()), InputCodes::shiftMask(event->modifiers()),
                   float(event->position().x()), float(event->position().y()));
}

void TavloProBar::mouseReleaseEvent(QMouseEvent *event)
{
    emit MouseUp(InputCodes::buttonMask(event->button()), InputCodes::shiftMask(event->modifiers()),
                 float(event->position().x()), float(event->position().y()));
    // The release that ends a double click raises no second Click.
    const bool clicked = !m_afterDoubleClick && rect().contains(event->position().toPoint())
        && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton);
    m_afterDoubleClick = false;
    if (clicked)
        emit Click();
}

void TavloProBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_afterDoubleClick = true;
    if (event->button() == Qt::LeftButton)
        emit DblClick();
}
