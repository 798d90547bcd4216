#pragma once

#include "controls/HostTimer.h"
#include "common/Picture.h"
#include "common/RuntimeError.h"
#include "controls/SelfPaintedControl.h"
#include "controls/progressbar/paint/ProBarCanvas.h"
#include "controls/progressbar/model/ProBarDescriptors.h"
#include "controls/progressbar/model/ProBarProperties.h"

class PropertyBag;
class StepGuard;

// The block progress bar: a row (or column) of shaded blocks showing ProValue of ProMax, or a
// bouncing comet while Busy in the busy modes, with caption, value text, border, back and
// cover pictures, shaped as a rounded rectangle.
//
// Every setter stores the value (no range check), then (BusySpeed) sets the busy timer to
// |125 - BusySpeed| ms, (BarMode) turns the control by 90 degrees when the orientation changes
// and runs the resize handling, otherwise redraws, and emits propertyChanged(name). A value the
// painter cannot use (BlockMid -1, CoverAlpha outside 0..255, a timer interval above 65535, an
// image-less BlockPicture in style 5, a ProValue that is not a number, a BlockSize above 32767)
// throws RuntimeError from the setter after the value was stored, the redraw completed as far as
// possible and the change reported. Redraws from Qt events and the busy timer never throw; they
// log.
class TavloProBar : public SelfPaintedControl {
    Q_OBJECT
    Q_DISABLE_COPY(TavloProBar)
public:
    // A new instance: InitProperties has run.
    explicit TavloProBar(QWidget *parent = nullptr);
    ~TavloProBar() override;

    OleColor BackColor() const { return m_props.backColor; }
    void setBackColor(OleColor value);
    bool Enabled() const { return m_props.enabled; }
    void setEnabled(bool value);
    QFont Font() const { return m_props.font; }
    void setFont(const QFont &value);
    QVariant ProValue() const { return m_props.proValue; }
    void setProValue(const QVariant &value);
    int32_t BarMode() const { return m_props.barMode; }
    void setBarMode(int32_t value);
    int32_t BlockSize() const { return m_props.blockSize; }
    void setBlockSize(int32_t value);
    int32_t BlockGap() const { return m_props.blockGap; }
    void setBlockGap(int32_t value);
    int32_t BlockMid() const { return m_props.blockMid; }
    void setBlockMid(int32_t value);
    int32_t BlockDepth() const { return m_props.blockDepth; }
    void setBlockDepth(int32_t value);
    int32_t BlockFeather() const { return m_props.blockFeather; }
    void setBlockFeather(int32_t value);
    int32_t ProMax() const { return m_props.proMax; }
    void setProMax(int32_t value);
    OleColor BlockColor1() const { return m_props.blockColor1; }
    void setBlockColor1(OleColor value);
    OleColor BlockColor2() const { return m_props.blockColor2; }
    void setBlockColor2(OleColor value);
    OleColor BlockColor3() const { return m_props.blockColor3; }
    void setBlockColor3(OleColor value);
    OleColor BlockColor4() const { return m_props.blockColor4; }
    void setBlockColor4(OleColor value);
    int32_t BlockStyle() const { return m_props.blockStyle; }
    void setBlockStyle(int32_t value);
    bool BarFlip() const { return m_props.barFlip; }
    void setBarFlip(bool value);
    OleColor BorderColor1() const { return m_props.borderColor1; }
    void setBorderColor1(OleColor value);
    OleColor BorderColor2() const { return m_props.borderColor2; }
    void setBorderColor2(OleColor value);
    bool BorderShow() const { return m_props.borderShow; }
    void setBorderShow(bool value);
    int32_t BorderRound() const { return m_props.borderRound; }
    void setBorderRound(int32_t value);
    bool BlockRound() const { return m_props.blockRound; }
    void setBlockRound(bool value);
    int32_t BlockRoundW() const { return m_props.blockRoundW; }
    void setBlockRoundW(int32_t value);
    int32_t BlockRoundH() const { return m_props.blockRoundH; }
    void setBlockRoundH(int32_t value);
    int32_t BusySpeed() const { return m_props.busySpeed; }
    void setBusySpeed(int32_t value);
    bool Busy() const { return m_props.busy; }
    void setBusy(bool value);
    Picture CoverPic() const { return m_props.coverPic; }
    void setCoverPic(const Picture &value);
    int32_t CoverAlpha() const { return m_props.coverAlpha; }
    void setCoverAlpha(int32_t value);
    bool CoverShow() const { return m_props.coverShow; }
    void setCoverShow(bool value);
    Picture BackPicture() const { return m_props.backPicture; }
    void setBackPicture(const Picture &value);
    QString Caption() const { return m_props.caption; }
    void setCaption(const QString &value);
    int32_t CaptionAlignment() const { return m_props.captionAlignment; }
    void setCaptionAlignment(int32_t value);
    OleColor CaptionColor() const { return m_props.captionColor; }
    void setCaptionColor(OleColor value);
    bool CaptionShadow() const { return m_props.captionShadow; }
    void setCaptionShadow(bool value);
    OleColor CaptionShadowColor() const { return m_props.captionShadowColor; }
    void setCaptionShadowColor(OleColor value);
    bool ShowValue() const { return m_props.showValue; }
    void setShowValue(bool value);
    bool CaptionAutoOrient() const { return m_props.captionAutoOrient; }
    void setCaptionAutoOrient(bool value);
    Picture BlockPicture() const { return m_props.blockPicture; }
    void setBlockPicture(const Picture &value);

    // Redraws the whole control; throws the redraw's first RuntimeError.
    void DrawBar();
    // Schedules a repaint of the window, then DrawBar.
    void Refresh();

    // Host persistence. InitProperties: defaults, the container's font, empty pictures.
    // ReadProperties: every key with its default, stored without setters (no redraw, no
    // notification, no timer change); a bad value throws and stops at that key.
    // WriteProperties: every key with its default, in table order.
    void InitProperties();
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    // The busy animation's timer (initially 50 ms, off) and phase; busyTick() is its tick.
    const HostTimer &tmrBusy() const { return m_tmrBusy; }
    int16_t busyPhase() const { return m_busyPhase; }
    void busyTick();

    const QImage &image() const override { return m_canvas.control.image(); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void assign(ProBarProperty id, const QVariant &value);
    void forward(ProBarProperty id);
    QVariant defaultFor(const ProBarDescriptor &descriptor) const;
    // The redraw and the resize handling run their drawing steps through the caller's guard,
    // which reports or logs the first failure.
    void redraw(StepGuard &steps);
    void resizeHandling(StepGuard &steps);
    void rebuildShape();
    void turnForMode(int32_t oldMode);

    ProBarProperties m_props;
    ProBarCanvas m_canvas;
    HostTimer m_tmrBusy{50};
    int16_t m_busyPhase = 0;
    bool m_turning = false;
    bool m_afterDoubleClick = false;
};
