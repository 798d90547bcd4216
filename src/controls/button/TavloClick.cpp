#include "controls/button/TavloClick.h"

#include "common/StepGuard.h"
#include "controls/button/HandCursor.h"
#include "controls/button/TavloClickAccessible.h"

TavloClick::TavloClick(QWidget *parent) : SelfPaintedControl(parent)
{
    TavloClickAccessible::install();
    m_tmrFade.setObjectName(QStringLiteral("tmrFade"));
    m_tmrFade.setInterval(1);
    m_overTimer.setObjectName(QStringLiteral("OverTimer"));
    m_overTimer.setInterval(1);
    connect(&m_tmrFade, &QTimer::timeout, this, &TavloClick::fadeTick);
    connect(&m_overTimer, &QTimer::timeout, this, &TavloClick::hoverTick);
    m_run.TempFolder = ButtonRuntime::temporaryFolder();
    InitProperties();
    m_overTimer.start();
}

TavloClick::~TavloClick() = default;

void TavloClick::setAlpha(bool value) { setPropertyValue(ButtonProperty::Alpha, value); }
void TavloClick::setAlphaValue(float value) { setPropertyValue(ButtonProperty::AlphaValue, value); }
void TavloClick::setArrowColor(OleColor value) { setPropertyValue(ButtonProperty::ArrowColor, QVariant::fromValue<qint32>(value)); }
void TavloClick::setArrowDirection(int32_t value) { setPropertyValue(ButtonProperty::ArrowDirection, QVariant::fromValue<qint32>(value)); }
void TavloClick::setArrowPosition(int32_t value) { setPropertyValue(ButtonProperty::ArrowPosition, QVariant::fromValue<qint32>(value)); }
void TavloClick::setArrowShow(bool value) { setPropertyValue(ButtonProperty::ArrowShow, value); }
void TavloClick::setArrowSize(float value) { setPropertyValue(ButtonProperty::ArrowSize, value); }
void TavloClick::setArrowSplit(bool value) { setPropertyValue(ButtonProperty::ArrowSplit, value); }
void TavloClick::setAutoSize(bool value) { setPropertyValue(ButtonProperty::AutoSize, value); }
void TavloClick::setBorderColor1(OleColor value) { setPropertyValue(ButtonProperty::BorderColor1, QVariant::fromValue<qint32>(value)); }
void TavloClick::setBorderColor2(OleColor value) { setPropertyValue(ButtonProperty::BorderColor2, QVariant::fromValue<qint32>(value)); }
void TavloClick::setBorderSize(float value) { setPropertyValue(ButtonProperty::BorderSize, value); }
void TavloClick::setBorderStyle(int32_t value) { setPropertyValue(ButtonProperty::BorderStyle, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonColorBlendSize(int32_t value) { setPropertyValue(ButtonProperty::ButtonColorBlendSize, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonColorDown1(OleColor value) { setPropertyValue(ButtonProperty::ButtonColorDown1, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonColorDown2(OleColor value) { setPropertyValue(ButtonProperty::ButtonColorDown2, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonColorExtra1(OleColor value) { setPropertyValue(ButtonProperty::ButtonColorExtra1, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonColorExtra2(OleColor value) { setPropertyValue(ButtonProperty::ButtonColorExtra2, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonColorNormal1(OleColor value) { setPropertyValue(ButtonProperty::ButtonColorNormal1, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonColorNormal2(OleColor value) { setPropertyValue(ButtonProperty::ButtonColorNormal2, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonColorOver1(OleColor value) { setPropertyValue(ButtonProperty::ButtonColorOver1, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonColorOver2(OleColor value) { setPropertyValue(ButtonProperty::ButtonColorOver2, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonColorSplitSize(int32_t value) { setPropertyValue(ButtonProperty::ButtonColorSplitSize, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonIcon(const Picture &value) { setPropertyValue(ButtonProperty::ButtonIcon, QVariant::fromValue(value)); }
void TavloClick::setButtonIconPos(int32_t value) { setPropertyValue(ButtonProperty::ButtonIconPos, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonIconShadow(bool value) { setPropertyValue(ButtonProperty::ButtonIconShadow, value); }
void TavloClick::setButtonIconShow(bool value) { setPropertyValue(ButtonProperty::ButtonIconShow, value); }
void TavloClick::setButtonIconSize(float value) { setPropertyValue(ButtonProperty::ButtonIconSize, value); }
void TavloClick::setButtonShape(int32_t value) { setPropertyValue(ButtonProperty::ButtonShape, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonStyleDown(int32_t value) { setPropertyValue(ButtonProperty::ButtonStyleDown, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonStyleNormal(int32_t value) { setPropertyValue(ButtonProperty::ButtonStyleNormal, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonStyleOver(int32_t value) { setPropertyValue(ButtonProperty::ButtonStyleOver, QVariant::fromValue<qint32>(value)); }
void TavloClick::setButtonTheme(int32_t value) { setPropertyValue(ButtonProperty::ButtonTheme, QVariant::fromValue<qint32>(value)); }
void TavloClick::setCaption(const QString &value) { setPropertyValue(ButtonProperty::Caption, value); }
void TavloClick::setCaptionAlignment(int32_t value) { setPropertyValue(ButtonProperty::CaptionAlignment, QVariant::fromValue<qint32>(value)); }
void TavloClick::setCaptionAutoAlign(bool value) { setPropertyValue(ButtonProperty::CaptionAutoAlign, value); }
void TavloClick::setCaptionColor(OleColor value) { setPropertyValue(ButtonProperty::CaptionColor, QVariant::fromValue<qint32>(value)); }
void TavloClick::setCaptionShadow(bool value) { setPropertyValue(ButtonProperty::CaptionShadow, value); }
void TavloClick::setCaptionShadowColor(OleColor value) { setPropertyValue(ButtonProperty::CaptionShadowColor, QVariant::fromValue<qint32>(value)); }
void TavloClick::setCustomPic(bool value) { setPropertyValue(ButtonProperty::CustomPic, value); }
void TavloClick::setDoubleClickEnable(bool value) { setPropertyValue(ButtonProperty::DoubleClickEnable, value); }
void TavloClick::setEffects(int32_t value) { setPropertyValue(ButtonProperty::Effects, QVariant::fromValue<qint32>(value)); }
void TavloClick::setEnableEffects(bool value) { setPropertyValue(ButtonProperty::EnableEffects, value); }
void TavloClick::setEnabled(bool value) { setPropertyValue(ButtonProperty::Enabled, value); }
void TavloClick::setFade(bool value) { setPropertyValue(ButtonProperty::Fade, value); }
void TavloClick::setFadeDelay(float value) { setPropertyValue(ButtonProperty::FadeDelay, value); }
void TavloClick::setFont(const QFont &value) { setPropertyValue(ButtonProperty::Font, QVariant::fromValue(value)); }
void TavloClick::setFreeze(bool value) { setPropertyValue(ButtonProperty::Freeze, value); }
void TavloClick::setMaskColor(OleColor value) { setPropertyValue(ButtonProperty::MaskColor, QVariant::fromValue<qint32>(value)); }
void TavloClick::setMouseIcon(const Picture &value) { setPropertyValue(ButtonProperty::MouseIcon, QVariant::fromValue(value)); }
void TavloClick::setPicDown(const Picture &value) { setPropertyValue(ButtonProperty::PicDown, QVariant::fromValue(value)); }
void TavloClick::setPicNormal(const Picture &value) { setPropertyValue(ButtonProperty::PicNormal, QVariant::fromValue(value)); }
void TavloClick::setPicOver(const Picture &value) { setPropertyValue(ButtonProperty::PicOver, QVariant::fromValue(value)); }
void TavloClick::setRoundHeight(float value) { setPropertyValue(ButtonProperty::RoundHeight, value); }
void TavloClick::setRoundSizeAuto(bool value) { setPropertyValue(ButtonProperty::RoundSizeAuto, value); }
void TavloClick::setRoundWidth(float value) { setPropertyValue(ButtonProperty::RoundWidth, value); }
void TavloClick::setSettings(int32_t value) { setPropertyValue(ButtonProperty::Settings, QVariant::fromValue<qint32>(value)); }
void TavloClick::setSettingsFile(const QString &value) { setPropertyValue(ButtonProperty::SettingsFile, value); }
void TavloClick::setShadow(bool value) { setPropertyValue(ButtonProperty::Shadow, value); }
void TavloClick::setShadowColor(OleColor value) { setPropertyValue(ButtonProperty::ShadowColor, QVariant::fromValue<qint32>(value)); }
void TavloClick::setShadowSize(float value) { setPropertyValue(ButtonProperty::ShadowSize, value); }
void TavloClick::setShadowStyle(int32_t value) { setPropertyValue(ButtonProperty::ShadowStyle, QVariant::fromValue<qint32>(value)); }
void TavloClick::setSound(bool value) { setPropertyValue(ButtonProperty::Sound, value); }
void TavloClick::setSoundClick(int32_t value) { setPropertyValue(ButtonProperty::SoundClick, QVariant::fromValue<qint32>(value)); }
void TavloClick::setSoundCustom1(const QString &value) { setPropertyValue(ButtonProperty::SoundCustom1, value); }
void TavloClick::setSoundCustom2(const QString &value) { setPropertyValue(ButtonProperty::SoundCustom2, value); }
void TavloClick::setSoundDown(int32_t value) { setPropertyValue(ButtonProperty::SoundDown, QVariant::fromValue<qint32>(value)); }
void TavloClick::setSoundIn(int32_t value) { setPropertyValue(ButtonProperty::SoundIn, QVariant::fromValue<qint32>(value)); }
void TavloClick::setSoundOut(int32_t value) { setPropertyValue(ButtonProperty::SoundOut, QVariant::fromValue<qint32>(value)); }
void TavloClick::setSoundUp(int32_t value) { setPropertyValue(ButtonProperty::SoundUp, QVariant::fromValue<qint32>(value)); }
void TavloClick::setTexture(bool value) { setPropertyValue(ButtonProperty::Texture, value); }
void TavloClick::setTextureAlpha(float value) { setPropertyValue(ButtonProperty::TextureAlpha, value); }
void TavloClick::setTextureImage(const Picture &value) { setPropertyValue(ButtonProperty::TextureImage, QVariant::fromValue(value)); }
void TavloClick::setTextureType(int32_t value) { setPropertyValue(ButtonProperty::TextureType, QVariant::fromValue<qint32>(value)); }
void TavloClick::setTint(bool value) { setPropertyValue(ButtonProperty::Tint, value); }
void TavloClick::setTintBright(int32_t value) { setPropertyValue(ButtonProperty::TintBright, QVariant::fromValue<qint32>(value)); }
void TavloClick::setTintHue(int32_t value) { setPropertyValue(ButtonProperty::TintHue, QVariant::fromValue<qint32>(value)); }
void TavloClick::setTintSaturation(int32_t value) { setPropertyValue(ButtonProperty::TintSaturation, QVariant::fromValue<qint32>(value)); }
void TavloClick::setUpMotion(bool value) { setPropertyValue(ButtonProperty::UpMotion, value); }
void TavloClick::setUserDrag(bool value) { setPropertyValue(ButtonProperty::UserDrag, value); }
void TavloClick::setShowFocusRect(bool value) { setPropertyValue(ButtonProperty::ShowFocusRect, value); }

QVariant TavloClick::propertyValue(ButtonProperty id) const
{
    if (id == ButtonProperty::CaptionColor)
        return QVariant::fromValue<qint32>(CaptionColor());
    return buttonDescriptors().fieldValue(m_props, buttonDescriptors().find(id));
}

void TavloClick::setPropertyValue(ButtonProperty id, const QVariant &value)
{
    const ButtonDescriptor &descriptor = buttonDescriptors().find(id);
    switch (id) {
    case ButtonProperty::ButtonTheme:
        assignButtonTheme(value.toInt());
        return;
    case ButtonProperty::Freeze:
        assignFreeze(value.toBool());
        return;
    case ButtonProperty::Settings:
        runSettingsAction(value.toInt());
        return;
    default:
        break;
    }
    // The rule may fail (ButtonIconPos overflow) before anything is stored.
    buttonDescriptors().setFieldValue(m_props, descriptor, applyAssignRule(descriptor, value));
    forwardToHost(id);
    afterAssign(id);
    repaintFor(descriptor.repaint);
    emit propertyChanged(QString(descriptor.name));
}

// Enabled, Font and MouseIcon belong to the hosting surface: the widget itself.
void TavloClick::forwardToHost(ButtonProperty id)
{
    switch (id) {
    case ButtonProperty::Enabled:
        QWidget::setEnabled(m_props.enabled);
        break;
    case ButtonProperty::Font:
        QWidget::setFont(m_props.font);
        break;
    case ButtonProperty::MouseIcon:
        setCursor(HandCursor::cursorFor(m_props.mouseIcon));
        break;
    case ButtonProperty::ShowFocusRect:
        update();
        break;
    default:
        break;
    }
}

// What a setter does besides storing and repainting: keeping lblCap and tmrFade in step.
void TavloClick::afterAssign(ButtonProperty id)
{
    switch (id) {
    case ButtonProperty::Caption:
        m_lblCap.setCaption(m_props.caption);
        TavloClickAccessible::captionChanged(this);
        break;
    case ButtonProperty::CaptionColor:
        m_lblCap.setForeColor(m_props.captionColor);
        break;
    case ButtonProperty::Font:
        m_lblCap.setFont(m_props.font);
        break;
    case ButtonProperty::FadeDelay:
        m_tmrFade.setInterval(static_cast<int>(m_props.fadeDelay));
        break;
    default:
        break;
    }
}

void TavloClick::repaintFor(Repaint plan)
{
    switch (plan) {
    case Repaint::None:
    case Repaint::Own:
        break;
    case Repaint::Normal:
        Redraw(0);
        break;
    case Repaint::NormalThenOver:
        Redraw(0);
        Redraw(1);
        break;
    case Repaint::NormalThenDown:
        Redraw(0);
        Redraw(2);
        break;
    case Repaint::NormalThenPrevious:
        // PreviousState is 0 again after the first call, so this shows the Normal face at once.
        Redraw(0);
        Redraw(m_run.PreviousState);
        break;
    case Repaint::Over:
        Redraw(1);
        break;
    case Repaint::Down:
        Redraw(2);
        break;
    case Repaint::ResizeHandling:
        resizeHandling();
        break;
    }
}

// Only theme 4 exists; any other number is kept as the property's value and applies nothing.
void TavloClick::assignButtonTheme(int32_t value)
{
    m_props.buttonTheme = value;
    if (value == 4)
        LoadButtonTheme(QString(), ButtonLayouts::builtInTheme());
    emit propertyChanged(QStringLiteral("ButtonTheme"));
}

void TavloClick::assignFreeze(bool value)
{
    m_props.freeze = value;
    if (value) {
        captureFrozenFaces();
        setCustomPic(true);
    } else {
        setPicNormal(Picture());
        setPicOver(Picture());
        setPicDown(Picture());
        setCustomPic(false);
    }
    Redraw(0);
    emit propertyChanged(QStringLiteral("Freeze"));
}

// The three faces as they are drawn now become PicNormal, PicOver and PicDown.
void TavloClick::captureFrozenFaces()
{
    StepGuard steps("TavloClick frozen faces");
    Picture *const faces[] = {&m_props.picNormal, &m_props.picOver, &m_props.picDown};
    for (int32_t state = 0; state < 3; ++state) {
        m_canvas.pic.clear();
        composeFace(state, steps);
        *faces[state] = Picture::fromImage(m_canvas.pic.image());
        m_canvas.pic.clear();
    }
}

void TavloClick::runSettingsAction(int32_t value)
{
    m_props.settings = value;
    const QString file = m_props.settingsFile;
    try {
        switch (value) {
        case 1:
            SaveButtonSettings(file);
            break;
        case 2:
            LoadButtonSettings(file, QString());
            break;
        case 3:
            SaveButtonTheme(file);
            break;
        case 4:
            LoadButtonTheme(file, QString());
            break;
        case 5:
            InitProperties();
            Redraw(0);
            break;
        default:
            break;
        }
    } catch (...) {
        // An empty SettingsFile makes the loads fail; the property still falls back to 0.
        m_props.settings = 0;
        throw;
    }
    m_props.settings = 0;
    emit propertyChanged(QStringLiteral("Settings"));
}

// A size change runs the resize handling: a visible widget gets its resize event at once, a
// hidden one only when shown, so for it the handling runs here.
void TavloClick::resizeControl(int width, int height)
{
    const QSize wanted(width, height);
    if (wanted == size())
        return;
    resize(wanted);
    if (!isVisible())
        resizeHandling();
}

void TavloClick::resizeHandling()
{
    if (m_props.autoSize && m_run.CurrentFacePicture.hasImage()) {
        const QSize face = m_run.CurrentFacePicture.image().size().boundedTo(QSize(MaxControlSide, MaxControlSide));
        m_resizing = true;
        resize(face);
        m_resizing = false;
    }
    m_canvas.resize(width(), height());
    m_run.MouseOutside = false;
    Redraw(0);
}

void TavloClick::Refresh()
{
    m_canvas.control.clear();
    m_canvas.pic.clear();
    m_canvas.pic2.clear();
    Redraw(0);
    update();
}

void TavloClick::resizeEvent(QResizeEvent *)
{
    if (!m_resizing)
        resizeHandling();
}
