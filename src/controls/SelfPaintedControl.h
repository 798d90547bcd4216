#pragma once

#include <QWidget>

#include <cstdint>

// What the two self-painted controls share: a widget that paints nothing of its own but presents
// its control surface, takes the pointer's moves and the keyboard focus, takes its container's
// font when new, measures in twips for the host, turns key events into its KeyDown, KeyPress and
// KeyUp, and raises the events both controls have.
class SelfPaintedControl : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(SelfPaintedControl)
public:
    ~SelfPaintedControl() override;

    // The persistent image the control presents.
    virtual const QImage &image() const = 0;

    // Twips per pixel of the screen the control is on (15 at 96 dpi).
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

signals:
    void propertyChanged(const QString &name);
    void Click();
    void DblClick();
    void KeyDown(qint16 KeyCode, qint16 Shift);
    void KeyPress(qint16 KeyAscii);
    void KeyUp(qint16 KeyCode, qint16 Shift);
    void MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void MouseUp(qint16 Button, qint16 Shift, float X, float Y);

protected:
    explicit SelfPaintedControl(QWidget *parent);

    // The container's font, the one a new control takes.
    QFont ambientFont() const;

    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
};
