#pragma once

#include "controls/SelfPaintedControl.h"
#include "controls/button/CaptionLabel.h"
#include "controls/button/model/ButtonDescriptors.h"
#include "controls/button/model/ButtonLayouts.h"
#include "controls/button/model/ButtonProperties.h"
#include "controls/button/model/ButtonRuntime.h"
#include "controls/button/paint/ButtonCanvas.h"
#include "controls/button/paint/ButtonPaintContext.h"

#include <QTimer>

#include <functional>
#include <span>

class PropertyBag;
class StepGuard;

// The skinnable push button. It paints itself completely from its properties; every visible
// change goes through Redraw(state), state 0 Normal, 1 Over, 2 Down.
//
// Properties: getters are Name(), setters setName(value). A setter applies the property's
// rule (Singles with a range are rounded half to even and clamped; the Integer properties
// ButtonIconPos, TintBright, TintHue and TintSaturation are rounded half to even, throw the
// overflow RuntimeError outside 16 bits and change nothing, and the three tints are then
// clamped to -100..100; ArrowColor, CaptionColor, CaptionShadowColor and ShadowColor are stored
// as RGB), stores the value, repaints as the descriptor table says and emits
// propertyChanged(name). Values read from a bag, a theme or a settings string are
// stored unchecked, so painters must not rely on the setters' ranges.
//
// Methods that take text (LoadButtonTheme, LoadButtonSettings, setSettings) throw RuntimeError
// only where the old platform's caller saw an error: a load without a file name stops at a
// missing field (subscript out of range), a bad Boolean (type mismatch) or a number out of
// range (overflow). With a file name every error is skipped. Nothing is thrown from Qt events.
class TavloClick : public SelfPaintedControl {
    Q_OBJECT
    Q_DISABLE_COPY(TavloClick)
public:
    // A new instance: InitProperties has run, and the hover watch is running.
    explicit TavloClick(QWidget *parent = nullptr);
    ~TavloClick() override;

    bool Alpha() const { return m_props.alpha; }
    void setAlpha(bool value);
    float AlphaValue() const { return m_props.alphaValue; }
    void setAlphaValue(float value);
    OleColor ArrowColor() const { return m_props.arrowColor; }
    void setArrowColor(OleColor value);
    int32_t ArrowDirection() const { return m_props.arrowDirection; }
    void setArrowDirection(int32_t value);
    int32_t ArrowPosition() const { return m_props.arrowPosition; }
    void setArrowPosition(int32_t value);
    bool ArrowShow() const { return m_props.arrowShow; }
    void setArrowShow(bool value);
    float ArrowSize() const { return m_props.arrowSize; }
    void setArrowSize(float value);
    bool ArrowSplit() const { return m_props.arrowSplit; }
    void setArrowSplit(bool value);
    bool AutoSize() const { return m_props.autoSize; }
    void setAutoSize(bool value);
    OleColor BorderColor1() const { return m_props.borderColor1; }
    void setBorderColor1(OleColor value);
    OleColor BorderColor2() const { return m_props.borderColor2; }
    void setBorderColor2(OleColor value);
    float BorderSize() const { return m_props.borderSize; }
    void setBorderSize(float value);
    int32_t BorderStyle() const { return m_props.borderStyle; }
    void setBorderStyle(int32_t value);
    int32_t ButtonColorBlendSize() const { return m_props.buttonColorBlendSize; }
    void setButtonColorBlendSize(int32_t value);
    OleColor ButtonColorDown1() const { return m_props.buttonColorDown1; }
    void setButtonColorDown1(OleColor value);
    OleColor ButtonColorDown2() const { return m_props.buttonColorDown2; }
    void setButtonColorDown2(OleColor value);
    OleColor ButtonColorExtra1() const { return m_props.buttonColorExtra1; }
    void setButtonColorExtra1(OleColor value);
    OleColor ButtonColorExtra2() const { return m_props.buttonColorExtra2; }
    void setButtonColorExtra2(OleColor value);
    OleColor ButtonColorNormal1() const { return m_props.buttonColorNormal1; }
    void setButtonColorNormal1(OleColor value);
    OleColor ButtonColorNormal2() const { return m_props.buttonColorNormal2; }
    void setButtonColorNormal2(OleColor value);
    OleColor ButtonColorOver1() const { return m_props.buttonColorOver1; }
    void setButtonColorOver1(OleColor value);
    OleColor ButtonColorOver2() const { return m_props.buttonColorOver2; }
    void setButtonColorOver2(OleColor value);
    int32_t ButtonColorSplitSize() const { return m_props.buttonColorSplitSize; }
    void setButtonColorSplitSize(int32_t value);
    Picture ButtonIcon() const { return m_props.buttonIcon; }
    void setButtonIcon(const Picture &value);
    int16_t ButtonIconPos() const { return m_props.buttonIconPos; }
    void setButtonIconPos(int32_t value);
    bool ButtonIconShadow() const { return m_props.buttonIconShadow; }
    void setButtonIconShadow(bool value);
    bool ButtonIconShow() const { return m_props.buttonIconShow; }
    void setButtonIconShow(bool value);
    float ButtonIconSize() const { return m_props.buttonIconSize; }
    void setButtonIconSize(float value);
    int32_t ButtonShape() const { return m_props.buttonShape; }
    void setButtonShape(int32_t value);
    int32_t ButtonStyleDown() const { return m_props.buttonStyleDown; }
    void setButtonStyleDown(int32_t value);
    int32_t ButtonStyleNormal() const { return m_props.buttonStyleNormal; }
    void setButtonStyleNormal(int32_t value);
    int32_t ButtonStyleOver() const { return m_props.buttonStyleOver; }
    void setButtonStyleOver(int32_t value);
    int32_t ButtonTheme() const { return m_props.buttonTheme; }
    void setButtonTheme(int32_t value);
    QString Caption() const { return m_props.caption; }
    void setCaption(const QString &value);
    int32_t CaptionAlignment() const { return m_props.captionAlignment; }
    void setCaptionAlignment(int32_t value);
    bool CaptionAutoAlign() const { return m_props.captionAutoAlign; }
    void setCaptionAutoAlign(bool value);
    OleColor CaptionColor() const { return m_lblCap.foreColor(); }
    void setCaptionColor(OleColor value);
    bool CaptionShadow() const { return m_props.captionShadow; }
    void setCaptionShadow(bool value);
    OleColor CaptionShadowColor() const { return m_props.captionShadowColor; }
    void setCaptionShadowColor(OleColor value);
    bool CustomPic() const { return m_props.customPic; }
    void setCustomPic(bool value);
    bool DoubleClickEnable() const { return m_props.doubleClickEnable; }
    void setDoubleClickEnable(bool value);
    int32_t Effects() const { return m_props.effects; }
    void setEffects(int32_t value);
    bool EnableEffects() const { return m_props.enableEffects; }
    void setEnableEffects(bool value);
    bool Enabled() const { return m_props.enabled; }
    void setEnabled(bool value);
    bool Fade() const { return m_props.fade; }
    void setFade(bool value);
    float FadeDelay() const { return m_props.fadeDelay; }
    void setFadeDelay(float value);
    QFont Font() const { return m_props.font; }
    void setFont(const QFont &value);
    bool Freeze() const { return m_props.freeze; }
    void setFreeze(bool value);
    OleColor MaskColor() const { return m_props.maskColor; }
    void setMaskColor(OleColor value);
    Picture MouseIcon() const { return m_props.mouseIcon; }
    void setMouseIcon(const Picture &value);
    Picture PicDown() const { return m_props.picDown; }
    void setPicDown(const Picture &value);
    Picture PicNormal() const { return m_props.picNormal; }
    void setPicNormal(const Picture &value);
    Picture PicOver() const { return m_props.picOver; }
    void setPicOver(const Picture &value);
    float RoundHeight() const { return m_props.roundHeight; }
    void setRoundHeight(float value);
    bool RoundSizeAuto() const { return m_props.roundSizeAuto; }
    void setRoundSizeAuto(bool value);
    float RoundWidth() const { return m_props.roundWidth; }
    void setRoundWidth(float value);
    int32_t Settings() const { return m_props.settings; }
    void setSettings(int32_t value);
    QString SettingsFile() const { return m_props.settingsFile; }
    void setSettingsFile(const QString &value);
    bool Shadow() const { return m_props.shadow; }
    void setShadow(bool value);
    OleColor ShadowColor() const { return m_props.shadowColor; }
    void setShadowColor(OleColor value);
    float ShadowSize() const { return m_props.shadowSize; }
    void setShadowSize(float value);
    int32_t ShadowStyle() const { return m_props.shadowStyle; }
    void setShadowStyle(int32_t value);
    // The focus indicator, laid over the face while the keyboard focus is on the button.
    bool ShowFocusRect() const { return m_props.showFocusRect; }
    void setShowFocusRect(bool value);
    bool Sound() const { return m_props.sound; }
    void setSound(bool value);
    int32_t SoundClick() const { return m_props.soundClick; }
    void setSoundClick(int32_t value);
    QString SoundCustom1() const { return m_props.soundCustom1; }
    void setSoundCustom1(const QString &value);
    QString SoundCustom2() const { return m_props.soundCustom2; }
    void setSoundCustom2(const QString &value);
    int32_t SoundDown() const { return m_props.soundDown; }
    void setSoundDown(int32_t value);
    int32_t SoundIn() const { return m_props.soundIn; }
    void setSoundIn(int32_t value);
    int32_t SoundOut() const { return m_props.soundOut; }
    void setSoundOut(int32_t value);
    int32_t SoundUp() const { return m_props.soundUp; }
    void setSoundUp(int32_t value);
    bool Texture() const { return m_props.texture; }
    void setTexture(bool value);
    float TextureAlpha() const { return m_props.textureAlpha; }
    void setTextureAlpha(float value);
    Picture TextureImage() const { return m_props.textureImage; }
    void setTextureImage(const Picture &value);
    int32_t TextureType() const { return m_props.textureType; }
    void setTextureType(int32_t value);
    bool Tint() const { return m_props.tint; }
    void setTint(bool value);
    int16_t TintBright() const { return m_props.tintBright; }
    void setTintBright(int32_t value);
    int16_t TintHue() const { return m_props.tintHue; }
    void setTintHue(int32_t value);
    int16_t TintSaturation() const { return m_props.tintSaturation; }
    void setTintSaturation(int32_t value);
    bool UpMotion() const { return m_props.upMotion; }
    void setUpMotion(bool value);
    bool UserDrag() const { return m_props.userDrag; }
    void setUserDrag(bool value);

    // Any property by its descriptor: the same as the typed getter and setter.
    QVariant propertyValue(ButtonProperty id) const;
    void setPropertyValue(ButtonProperty id, const QVariant &value);

    // Themes: the 32 colour-and-shape fields as one line; ButtonTheme 4 loads the built-in one.
    QString SaveButtonTheme(const QString &FileName);
    void LoadButtonTheme(const QString &FileName, const QString &ThemeString);
    // Settings: every property but the pictures, plus size and font, as one line of 76 fields.
    QString SaveButtonSettings(const QString &FileName);
    void LoadButtonSettings(const QString &FileName, const QString &SettingsString);
    // The quick save: SaveButtonSettings to "<objectName>-<Caption>.scs" in the current folder.
    // A caption that cannot be part of a file name (it holds "/") writes nothing.
    QString quickSaveFileName() const;
    void quickSaveSettings();

    // Host persistence. InitProperties: every default, the container's font, the hand pointer,
    // empty pictures, 81 × 33 pixels. ReadProperties: every key with its default, stored without
    // the setters' rules and without repainting; a bad value throws and stops at that key.
    // WriteProperties: every key against its default, in the same order.
    void InitProperties();
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    // The single repaint entry: composes the face of the state and presents it, at once or
    // through the cross-fade. A drawing step that fails ends alone, and the repaint logs its
    // first failure.
    void Redraw(int32_t state);
    // Clears the control surface, pic and pic2, then Redraw(0).
    void Refresh();
    // The hover animation of Effects, shown frame by frame (Redraw runs it on entering Over).
    void DrawEffect();

    // Child objects, for the painting and interaction layers and for tests.
    const ButtonCanvas &canvas() const { return m_canvas; }
    const ButtonRuntime &runtime() const { return m_run; }
    const CaptionLabel &lblCap() const { return m_lblCap; }
    const QTimer &tmrFade() const { return m_tmrFade; }
    const QTimer &OverTimer() const { return m_overTimer; }
    const QImage &image() const override { return m_canvas.control.image(); }

    // The largest width or height, in pixels, a settings string may give the control.
    static constexpr int MaxControlSide = 4096;

signals:
    // Besides the events of every self-painted control:
    void MouseIn();
    void MouseOut();
    void ArrowMouseDown();
    void RightClick();
    void RightDblClick();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Assignment (TavloClick.cpp).
    void forwardToHost(ButtonProperty id);
    void afterAssign(ButtonProperty id);
    void repaintFor(Repaint plan);
    void assignButtonTheme(int32_t value);
    void assignFreeze(bool value);
    void runSettingsAction(int32_t value);
    void captureFrozenFaces();
    void resizeControl(int width, int height);
    void resizeHandling();

    // Theme and settings text (TavloClickStrings.cpp).
    QString composeLine(std::span<const ButtonLayouts::TextField> layout) const;
    void applyLine(std::span<const ButtonLayouts::TextField> layout, const QStringList &fields,
                   bool ignoreErrors, int alwaysIgnoredFrom);
    QString fieldText(const ButtonLayouts::TextField &field) const;
    void applyField(const ButtonLayouts::TextField &field, const QString &text);

    // Painting (TavloClickRedraw.cpp; the painters are the Button*, Face* files): Redraw's face
    // step (also used to capture frozen faces), the presentations, the hover effect, the mask
    // and what lies behind the control (its container rendered without the container's
    // children). The drawing steps run through the guard of the repaint they belong to.
    void composeFace(int32_t state, StepGuard &steps);
    void presentAtOnce(StepGuard &steps);
    void layIcon(StepGuard &steps);
    void showComposite(const Surface &source, StepGuard &steps);
    void runHoverEffect(StepGuard &steps);
    void applyMask();
    void captureBehind(Surface &target);
    ButtonPaintContext paintContext();
    double pixelsPerPoint() const;

    // Timers (TavloClickTimers.cpp).
    void fadeTick();
    void hoverTick();
    bool IsMouseOver() const;

    ButtonProperties m_props;
    ButtonRuntime m_run;
    ButtonCanvas m_canvas;
    CaptionLabel m_lblCap;
    QTimer m_tmrFade;
    QTimer m_overTimer;
    bool m_resizing = false;

    // Interaction: mouse, keys, access key and sounds (TavloClickInput.cpp, ButtonSounds.*),
    // hover watch (TavloClickTimers.cpp).
public:
    // The widget under the pointer, as the hover watch asks for it; an empty function restores
    // the platform's answer (the widget at the cursor position). One query serves every button.
    using PointerQuery = std::function<QWidget *()>;
    static void setPointerQuery(PointerQuery query);

    // The focus indicator shows while ShowFocusRect is on and the keyboard focus is on the
    // button, unless the focus came by a mouse click and no key was pressed since.
    bool focusIndicatorShown() const;

protected:
    bool event(QEvent *event) override;
    // Keyboard and focus (TavloClickKeyboard.cpp): Space clicks on release and shows the Down
    // face while held, Return and Enter click on press, as the access key clicks.
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void pointerPressed(qint16 Button, qint16 Shift, float X, float Y);
    void pointerMoved(qint16 Button, qint16 Shift, float X, float Y);
    void pointerReleased(qint16 Button, qint16 Shift, float X, float Y);
    void clicked();
    void doubleClicked();
    bool isOnArrowPart(float X, float Y) const;
    bool isOverControl(QPointF at) const;
    void syncAccessKey();
    void wakeHoverWatch();
    void restHoverWatch();
    void PlayButtonSound(int32_t Number, const QString &Word);
    void playEventSound(int32_t Number, const QString &Word);

    void releaseSpace();

    // The accessible button presses it as the access key does.
    friend class TavloClickAccessible;

    // Buttons pressed on the control whose release over it is a click.
    Qt::MouseButtons m_clickButtons;
    // Space is down on the focused button: its release clicks.
    bool m_spaceHeld = false;
    // The focus came by keyboard, or a key was pressed since it came.
    bool m_focusVisible = false;
    // The caption whose access key is registered, and the registration.
    QString m_accessKeyCaption;
    int m_accessKeyId = 0;
};
