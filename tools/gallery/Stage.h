#pragma once

#include <QImage>
#include <QWidget>

// The container the gallery's controls sit on: a painted backdrop (stripes and a gradient, so that
// transparency, shadows and alpha show) that is also what lies behind a control.
class Stage : public QWidget {
public:
    Stage();

    // The control as it shows on the stage: the stage's rectangle under it, mask applied.
    QImage shoot(QWidget &control);

protected:
    void paintEvent(QPaintEvent *event) override;
};
