#pragma once

#include "workflow/Target.h"

#include <QWidget>

class QLabel;
class QLineEdit;

// What a conversion aims at beyond its preset: "Fit into" a size ("25 MB") or a "Quality" score
// ("SSIM 0.985", "SSIM 19 dB", "PSNR 42 dB"), one or the other. Only presets whose encoder a
// target can steer take one; for the others both fields are off and say why. A field that does
// not read as a size or a score says so, and no target is used meanwhile.
class TargetChoice : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(TargetChoice)

public:
    explicit TargetChoice(QWidget *parent = nullptr);

    // The preset the target would steer; the fields are off for one that takes no target.
    void setPreset(const QString &preset);
    // None when nothing is given, the preset takes no target, or the text is not understood.
    Target target() const { return m_target; }
    // Why the text given cannot be used; empty when it can.
    QString problem() const { return m_problem; }
    // The focus in the field at fault, its text chosen.
    void focusProblem();

    QLineEdit *sizeField() const { return m_size; }
    QLineEdit *qualityField() const { return m_quality; }

    // "0.985", "SSIM 0.985", "ssim:0.985", "SSIM 19 dB", "PSNR 42 dB": a quality target, or why not.
    static std::variant<Target, QString> parseScore(const QString &text);

signals:
    // The target the fields give changed (typed, or the preset turned them on or off).
    void targetChanged();

private:
    void update();

    QLineEdit *m_size = nullptr;
    QLineEdit *m_quality = nullptr;
    QLabel *m_message = nullptr;
    QString m_refusal;       // why the preset takes no target, in a line
    QString m_refusalDetail; // and naming the preset
    QString m_problem;
    QLineEdit *m_atFault = nullptr;
    Target m_target;
};
